// The viewer's own texts (buttons, messages, dialog labels) in the languages
// the pages speak, through the resource loader's "OrvalentViewer" tables.
// The texts are written in simplified Chinese, like the reports' labels.
#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace orv::http {

// chs, cht and en (any letter case gives false for others).
bool IsViewerLanguage(std::string_view language);

// `text` in `language`; the text itself when the table lacks it or cannot be read.
std::string ViewerText(std::string_view text, std::string_view language);

// Every text the pages show, by the name the pages use, in `language`.
nlohmann::json ViewerTexts(std::string_view language);

}  // namespace orv::http
