#pragma once

#include <QByteArray>
#include <QString>

namespace quillbox::test
{

// Sets an environment variable for its own lifetime, then puts back what
// was there before (or removes it).
class ScopedEnv
{
  public:
    ScopedEnv(const char *name, const QString &value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name))
    {
        qputenv(name, value.toUtf8());
    }
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;
    ~ScopedEnv()
    {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

  private:
    const char *name_;
    bool had_;
    QByteArray old_;
};

} // namespace quillbox::test
