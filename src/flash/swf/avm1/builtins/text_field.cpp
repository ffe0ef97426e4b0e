// TextField and TextFormat: text fields a script makes with createTextField, their text,
// colours, frame and format, drawn as a file's text fields are; and the fields a file places
// with a variable name, which show that variable's value.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "flash/swf/avm1/builtins/movie_clip.h"
#include "flash/swf/player.h"

namespace vitrine::swf::avm1 {

namespace {

// Most characters a field holds; longer text is cut.
constexpr size_t kMaxFieldText = 1u << 20;

// The field's text: the text character on the field clip's list.
DisplayObject* FieldOf(Object* o) {
  Clip* clip = o ? o->clip : nullptr;
  if (!clip) return nullptr;
  for (auto& [depth, object] : clip->list)
    if (object.character && object.character->kind == Kind::EditText) return &object;
  return nullptr;
}

// Characters are shared and never change: a change makes the field a character of its own.
template <class Change>
void Edit(Object* o, Change change) {
  DisplayObject* field = FieldOf(o);
  if (!field) return;
  auto copy = std::make_shared<Character>(*field->character);
  change(copy->edit);
  if (copy->edit.text.size() > kMaxFieldText) copy->edit.text.resize(kMaxFieldText);
  field->character = std::move(copy);
}

Rgba Rgb(Vm& vm, const Value& v) {
  uint32_t rgb = ToUint32(vm.ToNumber(v));
  return {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 255};
}
double RgbNumber(Rgba c) { return double(uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b); }

const char* kAligns[] = {"left", "right", "center", "justify"};

// Simple HTML as a field takes it: the text without its tags, <br> and the end of a <p> a new
// line, and what <b>, <i>, <font color=...> and <p align=...> ask for applied to the field.
struct Html {
  std::string text;
  bool bold = false, italic = false;
  std::optional<Rgba> colour;
  std::optional<uint8_t> align;
};

std::string Attribute(const std::string& tag, const std::string& name) {
  std::string lower = tag;
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  size_t at = lower.find(name + "=");
  if (at == std::string::npos) return "";
  at += name.size() + 1;
  char quote = at < tag.size() && (tag[at] == '"' || tag[at] == '\'') ? tag[at] : 0;
  if (quote) ++at;
  size_t end = at;
  while (end < tag.size() && (quote ? tag[end] != quote : tag[end] != ' ' && tag[end] != '>')) ++end;
  return tag.substr(at, end - at);
}

Html ReadHtml(const std::string& html) {
  Html out;
  for (size_t i = 0; i < html.size(); ++i) {
    char c = html[i];
    if (c == '<') {
      size_t end = html.find('>', i);
      if (end == std::string::npos) break;
      std::string tag = html.substr(i + 1, end - i - 1);
      std::string name;
      for (char t : tag) {
        if (t == ' ' || t == '/') {
          if (!name.empty()) break;
          if (t == '/') name += t;
          continue;
        }
        name += char(t >= 'A' && t <= 'Z' ? t - 'A' + 'a' : t);
      }
      if (name == "br") out.text += '\r';
      else if (name == "/p") out.text += '\r';
      else if (name == "b") out.bold = true;
      else if (name == "i") out.italic = true;
      else if (name == "font") {
        std::string colour = Attribute(tag, "color");
        if (colour.size() == 7 && colour[0] == '#') {
          uint32_t rgb = uint32_t(std::strtoul(colour.c_str() + 1, nullptr, 16));
          out.colour = Rgba{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 255};
        }
      } else if (name == "p") {
        std::string align = Attribute(tag, "align");
        for (uint8_t k = 0; k < 4; ++k)
          if (align == kAligns[k]) out.align = k;
      }
      i = end;
      continue;
    }
    if (c == '&') {
      static const std::pair<const char*, char> entities[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'},
                                                               {"&quot;", '"'}, {"&apos;", '\''}, {"&nbsp;", ' '}};
      bool matched = false;
      for (auto& [entity, ch] : entities) {
        std::string_view e(entity);
        if (html.compare(i, e.size(), e) == 0) {
          out.text += ch;
          i += e.size() - 1;
          matched = true;
          break;
        }
      }
      if (matched) continue;
    }
    out.text += c;
  }
  // A closing paragraph ends the text without a line after it.
  if (!out.text.empty() && out.text.back() == '\r') out.text.pop_back();
  return out;
}

std::string EscapeHtml(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '&') out += "&amp;";
    else out += c;
  }
  return out;
}

// The field's properties, read and written through the prototype's getters and setters.
enum Field { Text, HtmlText, IsHtml, TextColor, Border, BorderColor, Background, BackgroundColor, AutoSize,
             WordWrap, Multiline, Variable, Length, FieldCount };
const char* kFieldNames[] = {"text", "htmlText", "html", "textColor", "border", "borderColor", "background",
                             "backgroundColor", "autoSize", "wordWrap", "multiline", "variable", "length"};

// What the field keeps beside its text character: hidden properties on its object.
Value Hidden(Vm& vm, Object* o, const char* name) {
  Property* p = vm.Find(o, name);
  return p ? p->value : Value();
}

template <int K>
Value GetField(Vm& vm, Object* self, std::vector<Value>&) {
  DisplayObject* field = FieldOf(self);
  if (!field) return {};
  const EditText& e = field->character->edit;
  switch (K) {
    case Text: return e.text;
    case HtmlText: {
      Value html = Hidden(vm, self, "$htmlText");
      return html.IsUndefined() ? Value(EscapeHtml(e.text)) : html;
    }
    case IsHtml: return vm.ToBool(Hidden(vm, self, "$html"));
    case TextColor: return RgbNumber(e.color);
    case Border: return e.border;
    case BorderColor: return RgbNumber(e.borderColor);
    case Background: return e.background;
    case BackgroundColor: return RgbNumber(e.backgroundColor);
    case AutoSize: {
      Value v = Hidden(vm, self, "$autoSize");
      return v.IsUndefined() ? Value("none") : v;
    }
    case WordWrap: return e.wordWrap;
    case Multiline: return e.multiline;
    case Variable: return e.variable.empty() ? Value::Null() : Value(e.variable);
    case Length: return double(e.text.size());
    default: return {};
  }
}

template <int K>
Value SetField(Vm& vm, Object* self, std::vector<Value>& args) {
  if (!FieldOf(self)) return {};
  Value v = Arg(args, 0);
  switch (K) {
    case Text: {
      std::string text = vm.ToString(v);
      vm.Define(self, "$htmlText", Value(), DontEnum);
      Edit(self, [&](EditText& e) { e.text = text; });
      break;
    }
    case HtmlText: {
      std::string html = vm.ToString(v);
      if (!vm.ToBool(Hidden(vm, self, "$html"))) {
        // A field that is not an HTML field shows the markup as it is.
        Edit(self, [&](EditText& e) { e.text = html; });
        break;
      }
      vm.Define(self, "$htmlText", html, DontEnum);
      Html read = ReadHtml(html);
      Edit(self, [&](EditText& e) {
        e.text = read.text;
        e.bold = read.bold;
        e.italic = read.italic;
        if (read.colour) e.color = *read.colour;
        if (read.align) e.align = *read.align;
      });
      break;
    }
    case IsHtml: vm.Define(self, "$html", vm.ToBool(v), DontEnum); break;
    case TextColor: Edit(self, [&](EditText& e) { e.color = Rgb(vm, v); }); break;
    case Border: Edit(self, [&](EditText& e) { e.border = vm.ToBool(v); }); break;
    case BorderColor: Edit(self, [&](EditText& e) { e.borderColor = Rgb(vm, v); }); break;
    case Background: Edit(self, [&](EditText& e) { e.background = vm.ToBool(v); }); break;
    case BackgroundColor: Edit(self, [&](EditText& e) { e.backgroundColor = Rgb(vm, v); }); break;
    case AutoSize: {
      // true is "left", false "none"; other texts than the four are "none".
      std::string s = v.type == Type::Boolean ? (vm.ToBool(v) ? "left" : "none") : vm.ToString(v);
      if (s != "left" && s != "right" && s != "center") s = "none";
      vm.Define(self, "$autoSize", s, DontEnum);
      break;
    }
    case WordWrap: Edit(self, [&](EditText& e) { e.wordWrap = vm.ToBool(v); }); break;
    case Multiline: Edit(self, [&](EditText& e) { e.multiline = vm.ToBool(v); }); break;
    case Variable: {
      std::string name = v.IsNullish() ? std::string() : vm.ToString(v);
      Edit(self, [&](EditText& e) { e.variable = name; });
      break;
    }
    default: break;
  }
  return {};
}

template <int K>
void DefineField(Vm& vm, Object* proto) {
  if constexpr (K < FieldCount) {
    vm.Define(proto, kFieldNames[K], Value(), DontEnum);
    Property* p = vm.Find(proto, kFieldNames[K]);
    p->getter = vm.NewFunction(GetField<K>);
    if (K != Length) p->setter = vm.NewFunction(SetField<K>);
    DefineField<K + 1>(vm, proto);
  }
}

// TextFormat: every property null until given.
const char* kFormatNames[] = {"font",   "size",      "color",      "bold",   "italic",  "underline", "url",
                              "target", "align",     "leftMargin", "rightMargin", "indent", "leading"};

Value NewTextFormat(Vm& vm, Object* self, std::vector<Value>& args) {
  Object* o = self && self->proto == vm.textFormatProto ? self : vm.New(vm.textFormatProto);
  for (size_t i = 0; i < std::size(kFormatNames); ++i) {
    Value v = Arg(args, i);
    vm.Set(o, kFormatNames[i], v.IsUndefined() ? Value::Null() : v);
  }
  return o;
}

Object* FormatOf(Vm& vm, Object* field) {
  std::vector<Value> none;
  Object* f = NewTextFormat(vm, nullptr, none).object;
  DisplayObject* d = FieldOf(field);
  if (!d) return f;
  const EditText& e = d->character->edit;
  vm.Set(f, "font", e.fontName.empty() ? std::string("Times New Roman") : e.fontName);
  vm.Set(f, "size", e.height / 20);
  vm.Set(f, "color", RgbNumber(e.color));
  vm.Set(f, "bold", e.bold);
  vm.Set(f, "italic", e.italic);
  vm.Set(f, "underline", false);
  vm.Set(f, "align", kAligns[std::min<int>(e.align, 3)]);
  vm.Set(f, "leftMargin", e.leftMargin / 20);
  vm.Set(f, "rightMargin", e.rightMargin / 20);
  return f;
}

void ApplyFormat(Vm& vm, Object* field, Object* format) {
  auto given = [&](const char* name, Value& v) {
    v = vm.Get(format, name);
    return !v.IsNullish();
  };
  Value v;
  Edit(field, [&](EditText& e) {
    if (given("font", v)) e.fontName = vm.ToString(v);
    if (given("size", v)) {
      double size = vm.ToNumber(v);
      if (std::isfinite(size)) e.height = std::clamp(size, 1.0, 1000.0) * 20;
    }
    if (given("color", v)) e.color = Rgb(vm, v);
    if (given("bold", v)) e.bold = vm.ToBool(v);
    if (given("italic", v)) e.italic = vm.ToBool(v);
    if (given("align", v)) {
      std::string align = vm.ToString(v);
      for (uint8_t k = 0; k < 4; ++k)
        if (align == kAligns[k]) e.align = k;
    }
  });
}

// setTextFormat([begin, [end,]] format): the format is the last argument; it applies to the
// whole field.
Value SetTextFormat(Vm& vm, Object* self, std::vector<Value>& args) {
  if (args.empty() || !args.back().IsObject()) return {};
  ApplyFormat(vm, self, args.back().object);
  return {};
}
Value GetTextFormat(Vm& vm, Object* self, std::vector<Value>&) { return FormatOf(vm, self); }
Value RemoveTextField(Vm& vm, Object* self, std::vector<Value>&) {
  ClipRemove(vm, self);
  return {};
}

Value CreateTextField(Vm& vm, Object* self, std::vector<Value>& args) {
  Clip* parent = self ? self->clip : nullptr;
  Player* player = vm.GetPlayer();
  double depth = vm.ToNumber(Arg(args, 1));
  if (!parent || !player || !std::isfinite(depth)) return {};
  double box[4];
  for (int i = 0; i < 4; ++i) {
    box[i] = vm.ToNumber(Arg(args, size_t(2 + i)));
    box[i] = std::isfinite(box[i]) ? std::clamp(box[i], -107374182.0, 107374182.0) : 0;
  }
  Clip* made = player->CreateEmpty(*parent, vm.ToString(Arg(args, 0)), int32_t(depth));
  if (!made || !made->holder) return {};
  made->holder->matrix.tx = std::round(box[0] * 20);
  made->holder->matrix.ty = std::round(box[1] * 20);
  auto ch = std::make_shared<Character>();
  ch->kind = Kind::EditText;
  ch->edit.bounds = {0, int32_t(std::max(0.0, box[2]) * 20), 0, int32_t(std::max(0.0, box[3]) * 20)};
  DisplayObject text;
  text.character = std::move(ch);
  made->list[1] = std::move(text);
  Object* o = player->ObjectOf(*made);
  o->proto = vm.textFieldProto;
  o->cls = "TextField";
  // Flash Player 8 gives the new field back; earlier players give nothing.
  return vm.PlayerVersion() >= 8 ? Value(o) : Value();
}

}  // namespace

bool ResizeTextField(Object* object, bool height, double pixels) {
  DisplayObject* field = FieldOf(object);
  if (!field || !object->clip || object->cls != "TextField") return false;
  Edit(object, [&](EditText& e) {
    int32_t twips = int32_t(std::clamp(pixels, 0.0, 107374182.0) * 20);
    if (height) e.bounds.yMax = e.bounds.yMin + twips;
    else e.bounds.xMax = e.bounds.xMin + twips;
  });
  return true;
}

void FollowTextVariables(Vm& vm, Clip& clip, int nesting) {
  if (nesting > kMaxNesting + 2) return;
  for (auto& [depth, object] : clip.list) {
    if (object.clip) {
      FollowTextVariables(vm, *object.clip, nesting + 1);
      continue;
    }
    if (!object.character || object.character->kind != Kind::EditText || object.character->edit.variable.empty())
      continue;
    // "name", "path.name" or "path:name", from the clip the field stands on.
    const std::string& variable = object.character->edit.variable;
    Object* owner = clip.object ? clip.object : (vm.GetPlayer() ? vm.GetPlayer()->ObjectOf(clip) : nullptr);
    if (!owner) continue;
    std::string name = variable;
    size_t split = variable.find_last_of(":.");
    if (split != std::string::npos) {
      owner = vm.ResolveTarget(owner, variable.substr(0, split));
      name = variable.substr(split + 1);
      if (!owner) continue;
    }
    std::string text;
    try {
      Value value = vm.Get(owner, name);
      if (value.IsUndefined()) continue;  // a field whose variable is not set keeps its text
      text = vm.ToString(value);
    } catch (const ScriptThrow&) {
      continue;
    } catch (const ScriptAbort&) {
      continue;
    }
    if (text.size() > kMaxFieldText) text.resize(kMaxFieldText);
    if (text == object.character->edit.text) continue;
    auto copy = std::make_shared<Character>(*object.character);
    copy->edit.text = std::move(text);
    object.character = std::move(copy);
  }
}

void InstallTextField(Vm& vm) {
  Object* proto = vm.New(vm.objectProto);
  vm.textFieldProto = proto;
  Object* ctor = vm.NewFunction([](Vm&, Object*, std::vector<Value>&) { return Value(); });
  vm.Define(ctor, "prototype", proto, DontEnum | DontDelete);
  vm.Define(proto, "constructor", ctor, DontEnum);
  DefineField<0>(vm, proto);
  vm.Method(proto, "setTextFormat", SetTextFormat);
  vm.Method(proto, "setNewTextFormat", SetTextFormat);
  vm.Method(proto, "getTextFormat", GetTextFormat);
  vm.Method(proto, "getNewTextFormat", GetTextFormat);
  vm.Method(proto, "removeTextField", RemoveTextField);
  vm.Define(vm.global, "TextField", ctor, DontEnum);

  Object* format = vm.New(vm.objectProto);
  vm.textFormatProto = format;
  Object* formatCtor = vm.NewFunction(NewTextFormat);
  vm.Define(formatCtor, "prototype", format, DontEnum | DontDelete);
  vm.Define(format, "constructor", formatCtor, DontEnum);
  vm.Define(vm.global, "TextFormat", formatCtor, DontEnum);

  vm.Method(vm.movieClipProto, "createTextField", CreateTextField);
}

}  // namespace vitrine::swf::avm1
