#pragma once

#include <QString>
#include <QStringList>

namespace quillbox
{

// Which button of an alert Return chooses in the window.
enum class DefaultButton {
    First, // the first added: the action the alert offers
    Last,  // the last added: the cautious answer, for a question whose action moves folders
};

// A modal message: a message text, an informative text and buttons in the
// order added. The texts are already translated when an Alert is built.
struct Alert {
    QString messageText;
    QString informativeText;
    QStringList buttons; // empty: one default button
    // More for whoever wants it (where things are, the shell's own error
    // lines): behind "Show Details…" in the window, plain lines in the
    // terminal. Empty: none.
    QString detailedText = {};
    DefaultButton defaultButton = DefaultButton::First;
};

// Answer for the first added button (or the default button); the second
// added button answers kFirstButton + 1, and so on.
inline constexpr int kFirstButton = 1000;

// Shows alerts to the user. May be called from any thread; returns when the
// user has answered.
class Alerts
{
  public:
    virtual ~Alerts() = default;
    // The answer: kFirstButton + the index of the chosen button.
    virtual int runModal(const Alert &alert) = 0;
};

} // namespace quillbox
