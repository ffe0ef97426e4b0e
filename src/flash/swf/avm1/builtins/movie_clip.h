#pragma once
// What the machine asks of movie clips: their display properties by name and by index, their
// children by instance name, their parent, and the root.
#include <string>

#include "flash/swf/avm1/machine.h"

namespace vitrine::swf::avm1 {

// The display property names in the order GetProperty and SetProperty number them.
inline constexpr const char* kClipProperties[] = {
    "_x", "_y", "_xscale", "_yscale", "_currentframe", "_totalframes", "_alpha", "_visible", "_width", "_height",
    "_rotation", "_target", "_framesloaded", "_name", "_droptarget", "_url", "_highquality", "_focusrect",
    "_soundbuftime", "_quality", "_xmouse", "_ymouse"};
inline constexpr int kClipPropertyCount = 22;

int ClipPropertyIndex(const std::string& name);  // -1 when it is not one
Value GetClipProperty(Vm& vm, Object* clip, int index);
void SetClipProperty(Vm& vm, Object* clip, int index, const Value& value);
Object* ClipChild(Vm& vm, Object* clip, const std::string& name);
Object* ClipParent(Vm& vm, Object* clip);
std::string ClipName(Object* clip);
// _width and _height: the clip's bounds in its parent's space, in pixels; setting one scales
// the clip along that axis so that its bounds take the size.
double ClipSize(Object* clip, bool height);
void SetClipSize(Object* clip, bool height, double pixels);
// A text field's size is its box's, which a new size changes without scaling the text; false
// when the object is no text field.
bool ResizeTextField(Object* field, bool height, double pixels);
// Text fields that show a variable take its value as their text.
void FollowTextVariables(Vm& vm, Clip& clip, int nesting = 0);

}  // namespace vitrine::swf::avm1

namespace vitrine::swf::avm1 {

// Timeline control of a clip from a script. frame: a number (1-based) or a label, possibly
// with a "target:" in front.
void ClipGoto(Vm& vm, Object* clip, const Value& frame, bool play, int bias = 0);
void ClipPlay(Vm& vm, Object* clip, bool play);
void ClipStep(Vm& vm, Object* clip, int delta);
void ClipStopSounds(Vm& vm);
// duplicateMovieClip and removeMovieClip.
Object* ClipDuplicate(Vm& vm, Object* clip, const std::string& name, int32_t depth, Object* init = nullptr);
void ClipRemove(Vm& vm, Object* clip);
// The actions of a frame of the clip, for the Call action.
std::vector<std::span<const uint8_t>> ClipFrameActions(Vm& vm, Object* clip, const Value& frame);

}  // namespace vitrine::swf::avm1
