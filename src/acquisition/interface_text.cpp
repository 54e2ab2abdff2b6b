#include "acquisition/interface_text.h"

#include "common/text_table.h"

namespace zarvex::acquisition {

std::string InterfaceText(const common::Host& host, int id) {
    static const shell::TextTable english(shell::Language::kEnglish);
    return host.texts != nullptr ? host.texts->Get(id) : english.Get(id);
}

}  // namespace zarvex::acquisition
