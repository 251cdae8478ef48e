#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace quillbox::test
{

// Sets an environment variable for its own lifetime, then puts back what
// was there before (or removes it).
class ScopedEnv
{
  public:
    ScopedEnv(const char *name, const QString &value)
        : name_(name),
          old_(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt)
    {
        qputenv(name, value.toUtf8());
    }
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;
    ~ScopedEnv() { old_ ? qputenv(name_, *old_) : qunsetenv(name_); }

  private:
    const char *name_;
    std::optional<QByteArray> old_;
};

} // namespace quillbox::test
