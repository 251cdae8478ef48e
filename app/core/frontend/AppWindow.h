#pragma once

namespace quillbox
{

// The utility's one window, as start-up sees it.
class AppWindow
{
  public:
    virtual ~AppWindow() = default;
    virtual void center() = 0;
    // Shows the window in front of the others and gives it the keyboard.
    virtual void makeKeyAndOrderFront() = 0;
};

} // namespace quillbox
