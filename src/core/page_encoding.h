#pragma once

namespace rumora {

// How the page file is stored: code page 932 as the window saves it, or
// UTF-8 for reading and testing. The page declares it in its head, so a
// browser never has to guess.
enum class PageEncoding { CodePage932, Utf8 };

}  // namespace rumora
