// TextField and TextFormat: text fields a script makes with createTextField, their text,
// colours, frame and format, drawn as a file's text fields are; and the fields a file places
// with a variable name, which show that variable's value.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string_view>

#include "flash/swf/avm1/builtins/movie_clip.h"
#include "flash/swf/player.h"
#include "flash/swf/text_layout.h"

namespace vitrine::swf::avm1 {

namespace {

// Most characters a field holds; longer text is cut.
constexpr size_t kMaxFieldText = 1u << 20;
// Most runs of their own format a field's text is cut into: a format that would cut it into
// more is not taken, and HTML past them keeps the format of the last run.
constexpr size_t kMaxTextRuns = 4096;

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

void Fit(Vm& vm, Object* self);

Rgba Rgb(Vm& vm, const Value& v) {
  uint32_t rgb = ToUint32(vm.ToNumber(v));
  return {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 255};
}
double RgbNumber(Rgba c) { return double(uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b); }

const char* kAligns[] = {"left", "right", "center", "justify"};

// Simple HTML as a field takes it: the text without its tags, <br> and the end of a <p> a new
// line; what <b>, <i>, <u> and <font color=... size=... face=...> ask for applies to the
// text they hold, as runs, and <p align=...> to the field.
struct Html {
  std::string text;
  std::vector<TextRun> runs;
  std::optional<uint8_t> align;
};

TextRun Span(size_t begin, size_t end) {
  TextRun r;
  r.begin = begin;
  r.end = end;
  return r;
}
TextRun Styled(std::optional<bool> TextRun::*style) {
  TextRun r;
  r.*style = true;
  return r;
}

// Runs cover text[begin, end) with the format given: the runs there are cut where the range
// begins and ends, and what the format sets replaces theirs inside it.
void FormatRange(EditText& e, size_t begin, size_t end, const TextRun& format) {
  end = std::min(end, e.text.size());
  if (begin >= end) return;
  if (e.runs.empty()) e.runs.push_back(Span(0, e.text.size()));
  std::vector<TextRun> out;
  for (const TextRun& r : e.runs) {
    size_t cuts[] = {r.begin, std::clamp(begin, r.begin, r.end), std::clamp(end, r.begin, r.end), r.end};
    for (int i = 0; i < 3; ++i) {
      if (cuts[i] >= cuts[i + 1]) continue;
      TextRun part = r;
      part.begin = cuts[i];
      part.end = cuts[i + 1];
      if (i == 1) {
        if (format.fontName) part.fontName = format.fontName;
        if (format.height) part.height = format.height;
        if (format.color) part.color = format.color;
        if (format.bold) part.bold = format.bold;
        if (format.italic) part.italic = format.italic;
        if (format.underline) part.underline = format.underline;
      }
      // Neighbours of one format are one run.
      TextRun a = part, b = out.empty() ? TextRun{} : out.back();
      a.begin = b.begin;
      a.end = b.end;
      if (!out.empty() && out.back().end == part.begin && a == b) out.back().end = part.end;
      else out.push_back(part);
    }
  }
  if (out.size() <= kMaxTextRuns) e.runs = std::move(out);
}

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
  // The formats of the open tags, innermost last; each run takes the innermost's.
  std::vector<std::pair<std::string, TextRun>> open;
  size_t runFrom = 0;
  auto flush = [&] {
    // Past the most runs (with the gaps between them), the last one goes on.
    if (out.runs.size() >= kMaxTextRuns / 2 - 1 && runFrom < out.text.size()) {
      out.runs.back().end = out.text.size();
    } else if (!open.empty() && runFrom < out.text.size()) {
      TextRun r = open.back().second;
      r.begin = runFrom;
      r.end = out.text.size();
      out.runs.push_back(r);
    }
    runFrom = out.text.size();
  };
  auto push = [&](const std::string& name, TextRun format) {
    flush();
    if (!open.empty()) {
      const TextRun& outer = open.back().second;
      if (!format.fontName) format.fontName = outer.fontName;
      if (!format.height) format.height = outer.height;
      if (!format.color) format.color = outer.color;
      if (!format.bold) format.bold = outer.bold;
      if (!format.italic) format.italic = outer.italic;
      if (!format.underline) format.underline = outer.underline;
    }
    if (open.size() < 64) open.emplace_back(name, format);
  };
  auto pop = [&](const std::string& name) {
    flush();
    for (size_t k = open.size(); k-- > 0;)
      if (open[k].first == name) {
        open.erase(open.begin() + std::ptrdiff_t(k), open.end());
        break;
      }
  };
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
      else if (name == "b") push(name, Styled(&TextRun::bold));
      else if (name == "i") push(name, Styled(&TextRun::italic));
      else if (name == "u") push(name, Styled(&TextRun::underline));
      else if (name == "/b" || name == "/i" || name == "/u" || name == "/font") pop(name.substr(1));
      else if (name == "font") {
        TextRun format;
        std::string colour = Attribute(tag, "color");
        if (colour.size() == 7 && colour[0] == '#') {
          uint32_t rgb = uint32_t(std::strtoul(colour.c_str() + 1, nullptr, 16));
          format.color = Rgba{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 255};
        }
        std::string size = Attribute(tag, "size");
        if (!size.empty()) {
          double points = std::strtod(size.c_str(), nullptr);
          if (std::isfinite(points) && points > 0) format.height = std::min(points, 1000.0) * 20;
        }
        std::string face = Attribute(tag, "face");
        if (!face.empty()) format.fontName = face;
        push(name, format);
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
  flush();
  // A closing paragraph ends the text without a line after it.
  if (!out.text.empty() && out.text.back() == '\r') {
    out.text.pop_back();
    for (TextRun& r : out.runs) r.end = std::min(r.end, out.text.size());
    std::erase_if(out.runs, [](const TextRun& r) { return r.begin >= r.end; });
  }
  // Runs cover the whole text: the rest in the field's own format.
  if (!out.runs.empty()) {
    std::vector<TextRun> whole;
    size_t at = 0;
    for (const TextRun& r : out.runs) {
      if (r.begin > at) whole.push_back(Span(at, r.begin));
      whole.push_back(r);
      at = r.end;
    }
    if (at < out.text.size()) whole.push_back(Span(at, out.text.size()));
    out.runs = std::move(whole);
  }
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
      Edit(self, [&](EditText& e) {
        e.text = text;
        e.runs.clear();
      });
      break;
    }
    case HtmlText: {
      std::string html = vm.ToString(v);
      if (!vm.ToBool(Hidden(vm, self, "$html"))) {
        // A field that is not an HTML field shows the markup as it is.
        Edit(self, [&](EditText& e) {
          e.text = html;
          e.runs.clear();
        });
        break;
      }
      vm.Define(self, "$htmlText", html, DontEnum);
      Html read = ReadHtml(html);
      Edit(self, [&](EditText& e) {
        e.text = read.text;
        e.runs = read.runs;
        if (e.text.size() > kMaxFieldText) e.runs.clear();
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
  if (K == Text || K == HtmlText || K == AutoSize || K == WordWrap) Fit(vm, self);
  return {};
}

template <int K>
void DefineField(Vm& vm, Object* proto) {
  if constexpr (K < FieldCount) {
    vm.Accessor(proto, kFieldNames[K], GetField<K>, K != Length ? SetField<K> : nullptr);
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
  vm.Set(f, "underline", e.underline);
  vm.Set(f, "align", kAligns[std::min<int>(e.align, 3)]);
  vm.Set(f, "leftMargin", e.leftMargin / 20);
  vm.Set(f, "rightMargin", e.rightMargin / 20);
  return f;
}

// What a TextFormat sets (its properties that are not null).
TextRun ReadFormat(Vm& vm, Object* format) {
  TextRun out;
  auto given = [&](const char* name, Value& v) {
    v = vm.Get(format, name);
    return !v.IsNullish();
  };
  Value v;
  if (given("font", v)) out.fontName = vm.ToString(v);
  if (given("size", v)) {
    double size = vm.ToNumber(v);
    if (std::isfinite(size)) out.height = std::clamp(size, 1.0, 1000.0) * 20;
  }
  if (given("color", v)) out.color = Rgb(vm, v);
  if (given("bold", v)) out.bold = vm.ToBool(v);
  if (given("italic", v)) out.italic = vm.ToBool(v);
  if (given("underline", v)) out.underline = vm.ToBool(v);
  return out;
}

void ApplyFormat(Vm& vm, Object* field, Object* format) {
  TextRun f = ReadFormat(vm, format);
  Value v = vm.Get(format, "align");
  Edit(field, [&](EditText& e) {
    if (f.fontName) e.fontName = *f.fontName;
    if (f.height) e.height = *f.height;
    if (f.color) e.color = *f.color;
    if (f.bold) e.bold = *f.bold;
    if (f.italic) e.italic = *f.italic;
    if (f.underline) e.underline = *f.underline;
    if (!v.IsNullish()) {
      std::string align = vm.ToString(v);
      for (uint8_t k = 0; k < 4; ++k)
        if (align == kAligns[k]) e.align = k;
    }
    // The whole text takes it, runs included.
    if (!e.runs.empty()) FormatRange(e, 0, e.text.size(), f);
  });
}

// A field whose autoSize is not "none" takes the size of its text: its height always, its
// width when it does not wrap, the side autoSize names staying where it is ("center": the
// middle). Its text is measured as the renderer sets it, at the field's own scale, with its
// 2-pixel gutters and its margins around it.
void Fit(Vm& vm, Object* self) {
  DisplayObject* field = FieldOf(self);
  Player* player = vm.GetPlayer();
  if (!field || !player || !player->Text()) return;
  Value mode = Hidden(vm, self, "$autoSize");
  if (!mode.IsString() || mode.text == "none") return;
  const EditText& e = field->character->edit;
  auto named = e.hasFont ? player->Lookup(e.fontId) : nullptr;
  double room = double(e.bounds.xMax - e.bounds.xMin - 80 - e.leftMargin - e.rightMargin) / 20;
  auto lines = LayOutDeviceText(e, named.get(), *player->Text(), 1.0 / 20,
                                e.wordWrap ? room : std::numeric_limits<double>::infinity(), 100000);
  double width = 0, height = 0;
  for (const TextLine& line : lines) {
    width = std::max(width, line.width);
    height += line.height;
  }
  int32_t w = int32_t(std::lround(std::min(width * 20 + 80 + e.leftMargin + e.rightMargin, 1e9)));
  int32_t h = int32_t(std::lround(std::min(height * 20 + 80, 1e9)));
  Edit(self, [&](EditText& t) {
    t.bounds.yMax = t.bounds.yMin + h;
    if (t.wordWrap) return;
    if (mode.text == "left") t.bounds.xMax = t.bounds.xMin + w;
    else if (mode.text == "right") t.bounds.xMin = t.bounds.xMax - w;
    else {
      int32_t middle = int32_t((int64_t(t.bounds.xMin) + t.bounds.xMax) / 2);
      t.bounds.xMin = middle - w / 2;
      t.bounds.xMax = t.bounds.xMin + w;
    }
  });
}

// setTextFormat([begin, [end,]] format): the format is the last argument. With no range it
// applies to the whole field; with begin alone to that one character; otherwise to the
// characters from begin up to end.
Value SetTextFormat(Vm& vm, Object* self, std::vector<Value>& args) {
  if (args.empty() || !args.back().IsObject()) return {};
  Object* format = args.back().object;
  if (args.size() == 1) {
    ApplyFormat(vm, self, format);
  } else {
    double begin = vm.ToNumber(args[0]);
    double end = args.size() >= 3 ? vm.ToNumber(args[1]) : begin + 1;
    if (!std::isfinite(begin) || !std::isfinite(end)) return {};
    begin = std::clamp(begin, 0.0, double(kMaxFieldText));
    end = std::clamp(end, 0.0, double(kMaxFieldText));
    TextRun f = ReadFormat(vm, format);
    Edit(self, [&](EditText& e) { FormatRange(e, size_t(begin), size_t(end), f); });
  }
  Fit(vm, self);
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
    copy->edit.runs.clear();
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
