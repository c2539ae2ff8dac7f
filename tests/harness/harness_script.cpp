#include "harness_script.h"

#include <cstdlib>
#include <sstream>

#include "engine/test_hook.h"

namespace {

bool ReadInt(std::istringstream& in, int& value) {
  std::string word;
  if (!(in >> word)) return false;
  char* end = nullptr;
  long number = strtol(word.c_str(), &end, 10);
  if (*end != '\0' || word.empty()) return false;
  value = int(number);
  return true;
}

int ButtonNumber(const std::string& name) {
  static const char* Names[] = {"left", "middle", "right", "x1", "x2"};
  for (int i = 0; i < 5; ++i) {
    if (name == Names[i]) return i + 1;
  }
  return 0;
}

int WindowEventNumber(const std::string& name) {
  static const struct {
    const char* name;
    int event;
  } Events[] = {{"focus-gained", HookWindowFocusGained}, {"focus-lost", HookWindowFocusLost},
                {"minimize", HookWindowMinimized},       {"restore", HookWindowRestored},
                {"close", HookWindowClose},              {"expose", HookWindowExposed},
                {"enter", HookWindowEnter},              {"leave", HookWindowLeave}};
  for (const auto& e : Events) {
    if (name == e.name) return e.event;
  }
  return 0;
}

std::string RestOfLine(std::istringstream& in) {
  std::string rest;
  std::getline(in, rest);
  size_t start = rest.find_first_not_of(" \t");
  return start == std::string::npos ? std::string() : rest.substr(start);
}

bool ParseLine(const std::string& verb, std::istringstream& in, THarnessCommand& command) {
  using K = THarnessCommand::TKind;
  if (verb == "wait") return command.kind = K::Wait, ReadInt(in, command.a);
  if (verb == "waitfor") return command.kind = K::WaitFor, bool(in >> command.text) && ReadInt(in, command.a);
  if (verb == "move") return command.kind = K::Move, ReadInt(in, command.a) && ReadInt(in, command.b);
  if (verb == "click" || verb == "down" || verb == "up") {
    command.kind = verb == "click" ? K::Click : verb == "down" ? K::Down : K::Up;
    if (!ReadInt(in, command.a) || !ReadInt(in, command.b)) return false;
    std::string button = "left";
    in >> button;
    command.c = ButtonNumber(button);
    return command.c != 0;
  }
  if (verb == "wheel") return command.kind = K::Wheel, ReadInt(in, command.a);
  if (verb == "key" || verb == "keydown" || verb == "keyup") {
    command.kind = verb == "key" ? K::Key : verb == "keydown" ? K::KeyDown : K::KeyUp;
    command.text = RestOfLine(in);
    return !command.text.empty();
  }
  if (verb == "type") return command.kind = K::Type, command.text = RestOfLine(in), !command.text.empty();
  if (verb == "window") {
    command.kind = K::Window;
    std::string name;
    in >> name;
    command.a = WindowEventNumber(name);
    return command.a != 0;
  }
  if (verb == "capture") return command.kind = K::Capture, bool(in >> command.text);
  if (verb == "settle") return command.kind = K::Settle, bool(in >> command.text) && ReadInt(in, command.a);
  if (verb == "hold") return command.kind = K::Hold, true;
  if (verb == "advance") return command.kind = K::Advance, ReadInt(in, command.a) && command.a > 0;
  if (verb == "quit") {
    command.kind = K::Quit;
    std::string code;
    if (in >> code) command.a = atoi(code.c_str());
    return true;
  }
  return false;
}

}  // namespace

bool ParseHarnessScript(const std::string& script, std::vector<THarnessCommand>& commands, std::string& error) {
  std::istringstream lines(script);
  std::string text;
  int number = 0;
  while (std::getline(lines, text)) {
    ++number;
    size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) continue;
    text.erase(0, start);
    // A "#" inside typed text is text; elsewhere it starts a comment.
    if (text.compare(0, 5, "type ") != 0 && text.find('#') != std::string::npos) text.erase(text.find('#'));
    std::istringstream in(text);
    std::string verb;
    if (!(in >> verb)) continue;
    THarnessCommand command;
    command.line = number;
    if (!ParseLine(verb, in, command)) {
      error = "line " + std::to_string(number) + ": cannot read \"" + text + "\"";
      return false;
    }
    commands.push_back(command);
  }
  return true;
}
