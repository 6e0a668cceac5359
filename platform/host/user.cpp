// The user in front of the simulated machine: message boxes answered from a
// script of answers (or at the terminal), buttons and keys pressed in the
// dialog that has the user's attention, and the transcript of what was seen.
#include <strings.h>

#include <iostream>
#include <sstream>
#include <stdexcept>

#include "platform/host/machine.h"
#include "platform/host/ui_internal.h"

namespace {

enum class Act { Message, Press, Key, Close };

struct Answer {
  int line;
  std::string source;
  Act act;
  std::string caption;  // a message box's
  int dialog = 0;
  std::string button;  // a button's text or "#id"
  WPARAM key = 0;
  unsigned long long afterBytes = 0;
  bool used = false;
};

struct Key {
  const char* name;
  WPARAM code;
};
const Key keys[] = {{"Enter", VK_RETURN}, {"Escape", VK_ESCAPE}, {"Tab", VK_TAB}, {"Space", VK_SPACE}};

struct Button {
  const char* name;
  int id;
};
const Button boxButtons[] = {{"OK", IDOK},  {"Cancel", IDCANCEL}, {"Abort", 3}, {"Retry", 4},
                             {"Ignore", 5}, {"Yes", IDYES},       {"No", IDNO}};
// MessageBoxA's button sets, by the type's low four bits.
const std::vector<std::vector<const char*>> boxButtonSets = {
    {"OK"},        {"OK", "Cancel"},   {"Abort", "Retry", "Ignore"}, {"Yes", "No", "Cancel"},
    {"Yes", "No"}, {"Retry", "Cancel"}};
const char* const iconNames[] = {"none", "error", "question", "exclamation", "information"};

std::vector<Answer> answers;
bool interactive;

std::vector<std::string> tokens(const std::string& line) {
  std::vector<std::string> out;
  for (size_t i = 0; i < line.size();) {
    if (isspace((unsigned char)line[i])) {
      i++;
    } else if (line[i] == '"') {
      std::string t;
      for (i++; i < line.size() && line[i] != '"'; i++)
        t += line[i] == '\\' && i + 1 < line.size() ? line[++i] : line[i];
      if (i++ >= line.size()) throw std::runtime_error("a quote is not closed");
      out.push_back(t);
    } else {
      size_t end = line.find_first_of(" \t", i);
      out.push_back(line.substr(i, end - i));
      i = end == std::string::npos ? line.size() : end;
    }
  }
  return out;
}

bool same(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

// The part of a dialog line after its identifier: BUTTON, key KEY or close,
// then optionally after-bytes N.
void parseDialogAction(std::vector<std::string> t, Answer& a) {
  if (t.size() >= 2 && t[t.size() - 2] == "after-bytes") {
    a.afterBytes = std::stoull(t.back());
    t.resize(t.size() - 2);
  }
  if (t.size() == 1 && t[0] == "close") {
    a.act = Act::Close;
  } else if (t.size() == 2 && t[0] == "key") {
    a.act = Act::Key;
    for (const Key& k : keys) {
      if (same(t[1], k.name)) a.key = k.code;
    }
    if (!a.key) throw std::runtime_error("unknown key " + t[1]);
  } else if (t.size() == 1) {
    a.act = Act::Press;
    a.button = t[0];
  } else {
    throw std::runtime_error("expected a button, key KEY or close");
  }
}

Answer parseLine(const std::vector<std::string>& t) {
  Answer a{};
  if (t.size() == 3 && t[0] == "message") {
    a.act = Act::Message;
    a.caption = t[1];
    a.button = t[2];
  } else if (t.size() >= 3 && t[0] == "dialog") {
    a.dialog = std::stoi(t[1]);
    parseDialogAction(std::vector<std::string>(t.begin() + 2, t.end()), a);
  } else {
    throw std::runtime_error("expected message \"CAPTION\" BUTTON or dialog ID ACTION");
  }
  return a;
}

std::string withoutPrefix(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); i++) {
    if (text[i] == '&' && i + 1 < text.size()) i++;
    out += text[i];
  }
  return out;
}

[[noreturn]] void scriptError(const Answer& a, const std::string& why) {
  throw ui::RunStopped{RUN_SCRIPT_ERROR, "answers line " + std::to_string(a.line) + ": " + why};
}

std::string dialogName(const ui::Window& d) { return "dialog " + std::to_string(d.dialogId); }

// Posts what the user does in a dialog, as the dialog would receive it.
void perform(const ui::Window& d, const Answer& a) {
  if (a.act == Act::Close) {
    if (!(d.style & WS_SYSMENU)) scriptError(a, dialogName(d) + " has no close box");
    ui::transcriptLine(dialogName(d) + ": the user clicks the close box");
    PostMessageA(d.handle, WM_CLOSE, 0, 0);
  } else if (a.act == Act::Key) {
    HWND target = ui::topLevel(ui::focus()) == d.handle ? ui::focus() : d.handle;
    for (const Key& k : keys) {
      if (k.code == a.key) ui::transcriptLine(dialogName(d) + ": the user presses the " + k.name + " key");
    }
    PostMessageA(target, WM_KEYDOWN, a.key, 0);
  } else {
    for (const ui::Window* c : ui::children(d.handle)) {
      if (c->className != "Button" ||
          !(same(withoutPrefix(c->text), a.button) || a.button == "#" + std::to_string(c->id))) {
        continue;
      }
      if (!c->visible || !c->enabled) scriptError(a, "the user cannot press " + a.button + " in " + dialogName(d));
      ui::transcriptLine(dialogName(d) + ": the user presses " + withoutPrefix(c->text));
      PostMessageA(d.handle, WM_COMMAND, (WPARAM)(WORD)c->id | (WPARAM)BN_CLICKED << 16, (LPARAM)c->handle);
      return;
    }
    scriptError(a, dialogName(d) + " has no button " + a.button);
  }
}

Answer* nextForDialog(int id) {
  for (Answer& a : answers) {
    if (!a.used && a.act != Act::Message && a.dialog == id) return &a;
  }
  return nullptr;
}

std::string readReply(const std::string& prompt) {
  std::cerr << prompt << std::flush;
  std::string reply;
  if (!std::getline(std::cin, reply)) throw ui::RunStopped{RUN_UNANSWERED, "no answer at the terminal"};
  return reply;
}

bool askAboutDialog(const ui::Window& d) {
  std::cerr << "\n" << dialogName(d) << " \"" << d.text << "\" waits. Controls:\n";
  for (const ui::Window* c : ui::children(d.handle)) {
    if (c->visible) std::cerr << "  " << c->className << " " << c->id << " \"" << c->text << "\"\n";
  }
  for (;;) {
    Answer a{};
    try {
      parseDialogAction(tokens(readReply("Press a button by its text, or key Enter|Escape|Tab|Space, or close: ")), a);
      perform(d, a);
      return true;
    } catch (const std::exception& e) {
      std::cerr << e.what() << "\n";
    } catch (const ui::RunStopped& stop) {
      std::cerr << stop.reason << "\n";
    }
  }
}

std::string askAboutMessage(const std::vector<const char*>& buttons) {
  for (;;) {
    std::string reply = readReply("Answer: ");
    for (const char* b : buttons) {
      if (same(reply, b)) return b;
    }
  }
}

}  // namespace

namespace ui {

void resetUser() {
  answers.clear();
  interactive = false;
}

void setAnswers(const std::string& script) {
  std::istringstream in(script);
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    number++;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> t;
    try {
      t = tokens(line);
      if (t.empty() || t[0][0] == '#') continue;
      Answer a = parseLine(t);
      a.line = number;
      a.source = line;
      answers.push_back(a);
    } catch (const std::exception& e) {
      throw std::runtime_error("answers line " + std::to_string(number) + ": " + e.what());
    }
  }
}

void setInteractive(bool on) { interactive = on; }

std::vector<std::string> unusedAnswers() {
  std::vector<std::string> list;
  for (const Answer& a : answers) {
    if (!a.used) list.push_back("line " + std::to_string(a.line) + ": " + a.source);
  }
  return list;
}

void transcriptLine(const std::string& line) { machine::transcript(line); }

void transcriptText(const std::string& indent, const std::string& text) {
  std::string line;
  for (size_t i = 0; i <= text.size(); i++) {
    if (i < text.size() && text[i] != '\r' && text[i] != '\n') {
      line += text[i];
      continue;
    }
    transcriptLine(indent + (line.empty() ? "|" : "| " + line));
    line.clear();
    if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') i++;
  }
}

void actOnDueAnswers() {
  const Window* d = innermostDialog();
  if (!d || d->ended) return;
  Answer* a = nextForDialog(d->dialogId);
  if (!a || machine::bytesWritten() < a->afterBytes) return;
  a->used = true;
  perform(*d, *a);
}

bool userActs() {
  const Window* d = innermostDialog();
  if (!d || d->ended) return false;
  if (nextForDialog(d->dialogId)) return false;  // waits for bytes that will not come
  if (interactive) return askAboutDialog(*d);
  transcriptLine(dialogName(*d) + ": no answer");
  throw RunStopped{RUN_UNANSWERED,
                   dialogName(*d) + " \"" + d->text + "\" waits for the user, and the answers say nothing for it"};
}

}  // namespace ui

extern "C" {

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  const std::vector<const char*>& buttons = boxButtonSets[std::min<size_t>(type & 0xF, boxButtonSets.size() - 1)];
  std::string title = caption ? caption : "Error";
  std::string list;
  for (const char* b : buttons) list += (list.empty() ? "" : ", ") + std::string(b);
  ui::transcriptLine("message box \"" + title + "\", owner " + ui::describeOwner(owner) + ", icon " +
                     iconNames[std::min<UINT>((type >> 4) & 0xF, 4)]);
  ui::transcriptText("  ", text ? text : "");
  ui::transcriptLine("  buttons: " + list);

  std::string choice;
  for (Answer& a : answers) {
    if (a.used || a.act != Act::Message || a.caption != title) continue;
    a.used = true;
    for (const char* b : buttons) {
      if (same(a.button, b)) choice = b;
    }
    if (choice.empty()) scriptError(a, "\"" + title + "\" has no button " + a.button);
    break;
  }
  if (choice.empty() && interactive) {
    std::cerr << "\nMessage box \"" << title << "\":\n" << (text ? text : "") << "\nButtons: " << list << "\n";
    choice = askAboutMessage(buttons);
  }
  if (choice.empty()) {
    ui::transcriptLine("  answer: none");
    throw ui::RunStopped{RUN_UNANSWERED, "message box \"" + title + "\" is not answered"};
  }
  ui::transcriptLine("  answer: " + choice);
  ui::uncover(nullptr);
  for (const Button& b : boxButtons) {
    if (choice == b.name) return b.id;
  }
  return 0;
}

}  // extern "C"
