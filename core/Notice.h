// What the engine has to tell the user, as a value: the text, the caption, the window it is
// shown over and its icon. The engine hands each one to a sink the moment it arises, so the
// order of messages among the machine's calls stays that of the run; the sink decides how it
// is shown (in message boxes, or some other way): the engine names no window.
#pragma once

#include <string>
#include <string_view>

namespace zenthar {

enum class NoticeOwner {
    MainWindow,  // over the main dialog
    InFront,     // over whatever window is in front
};

enum class NoticeIcon { None, Exclamation };

struct Notice {
    std::string text;
    const char* caption = nullptr;  // nullptr: the program's title
    NoticeOwner owner = NoticeOwner::MainWindow;
    NoticeIcon icon = NoticeIcon::None;
};

// A message over the main dialog, without an icon.
inline Notice MainWindowNotice(std::string_view text, const char* caption = nullptr)
{
    return Notice{std::string(text), caption, NoticeOwner::MainWindow, NoticeIcon::None};
}

// The program's own warning: over the window in front, with the exclamation icon.
inline Notice AppNotice(std::string_view text)
{
    return Notice{std::string(text), nullptr, NoticeOwner::InFront, NoticeIcon::Exclamation};
}

class NoticeSink {
public:
    virtual void Show(const Notice& notice) const = 0;

protected:
    ~NoticeSink() = default;
};

}  // namespace zenthar
