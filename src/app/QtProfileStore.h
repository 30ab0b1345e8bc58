#pragma once

#include <QString>

#include "platform/ProfileStore.h"

namespace tessary {

// The per-user profile store over QSettings (native format, user scope): organisation
// "Tessary", application = the executable's base name, so on Windows the values land under
// Software\Tessary\<exe>\Preferences as 32-bit numbers.
class QtProfileStore : public ProfileStore {
  public:
    // Uses the application's organisation and name.
    QtProfileStore();
    QtProfileStore(QString organisation, QString application);

    std::int32_t ReadNumber(const std::string& section, const std::string& key,
                            std::int32_t defaultValue) override;
    void WriteNumber(const std::string& section, const std::string& key,
                     std::int32_t value) override;

  private:
    QString organisation_;
    QString application_;
};

}  // namespace tessary
