#pragma once

#include <QUrl>

namespace quillbox
{

// Hands URLs to the user's desktop (a mailto: URL to the mail program).
class Workspace
{
  public:
    virtual ~Workspace() = default;
    // Opens `url`; the answer is not waited for. May be called from any thread.
    virtual void openUrl(const QUrl &url) = 0;
};

} // namespace quillbox
