#pragma once

#include "app/core/companion/CompanionApps.h"
#include "app/core/frontend/Alerts.h"
#include "app/core/frontend/Workspace.h"

#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>
#include <QUrl>
#include <functional>

namespace quillbox::test
{

// Alerts answered from a script; every alert shown is kept. Without a
// scripted answer the last button is chosen.
class ScriptedAlerts final : public Alerts
{
  public:
    int runModal(const Alert &alert) override
    {
        const QMutexLocker lock(&mutex);
        shown.append(alert);
        if (onShow)
            onShow(alert);
        if (!answers.isEmpty())
            return answers.takeFirst();
        return kFirstButton + static_cast<int>(std::max<qsizetype>(alert.buttons.size(), 1)) - 1;
    }
    [[nodiscard]] QStringList messages()
    {
        const QMutexLocker lock(&mutex);
        QStringList texts;
        for (const Alert &alert : shown)
            texts.append(alert.messageText);
        return texts;
    }

    QMutex mutex;
    QList<int> answers;
    QList<Alert> shown;
    std::function<void(const Alert &)> onShow;
};

class RecordingWorkspace final : public Workspace
{
  public:
    void openUrl(const QUrl &url) override
    {
        const QMutexLocker lock(&mutex);
        opened.append(url);
    }
    QMutex mutex;
    QList<QUrl> opened;
};

class FakeCompanionApps final : public CompanionApps
{
  public:
    bool isInstalled(const QString &identifier) override { return installed.contains(identifier); }
    bool isRunning(const QString &identifier) override { return running.contains(identifier); }
    QSet<QString> installed;
    QSet<QString> running;
};

} // namespace quillbox::test
