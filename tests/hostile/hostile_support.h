// What hostile text must never do to a page, shared by the hostile-input
// tests and the page fuzzer: add a tag or an attribute, or break the
// picture address out of its place.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/page_options.h"

namespace rumora::hostile {

// The page's tags as HTML's tokenizer splits them, one a line: "name
// attribute ..." for a start tag, "/name" for an end tag. Values are left
// out, as they are where the inserted texts go. A "<" before anything else
// is text; a tag the page ends inside is dropped. No byte of a two-byte code
// page 932 character is markup, so bytes will do.
inline std::string Tags(std::string_view page) {
    std::string tags;
    const std::size_t n = page.size();
    const auto at = [&](std::size_t k) { return k < n ? page[k] : '\0'; };
    const auto space = [&](std::size_t k) {
        return k < n && std::string_view(" \t\n\f\r").find(page[k]) != std::string_view::npos;
    };
    const auto nameEnds = [&](std::size_t k) {
        return k >= n || space(k) || page[k] == '/' || page[k] == '>';
    };
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t name = i + (at(i + 1) == '/' ? 2 : 1);
        const char first = static_cast<char>(at(name) | 0x20);
        if (page[i] != '<' || first < 'a' || first > 'z') continue;
        const std::size_t tagStart = tags.size();
        tags += page.substr(i + 1, name - i - 1);  // "/" for an end tag
        for (i = name; !nameEnds(i);) tags += page[i++];
        for (;;) {
            while (space(i) || at(i) == '/') ++i;
            if (i >= n || page[i] == '>') break;
            // An attribute's name ("=" included when it comes first), then
            // its value, quoted or up to a blank or ">".
            tags += ' ';
            tags += page[i++];
            while (!nameEnds(i) && page[i] != '=') tags += page[i++];
            while (space(i)) ++i;
            if (at(i) != '=') continue;
            for (++i; space(i);) ++i;
            const char quote = at(i);
            if (quote == '"' || quote == '\'') {
                const auto end = page.find(quote, i + 1);
                i = end == std::string_view::npos ? n : end + 1;
            } else {
                while (i < n && !space(i) && page[i] != '>') ++i;
            }
        }
        if (i >= n) {
            tags.resize(tagStart);
            break;
        }
        tags += '\n';
    }
    return tags;
}

// The picture address after the layout's "file:///", if it is whole: ASCII
// only, no blank, quote, bracket or other byte a browser would read as its
// end, as markup or as a query, every "%" starting an escape, and ending
// where the layout's markup does. Simple has none.
inline std::optional<std::string_view> PictureAddress(std::string_view page, PageLayout layout) {
    std::string_view opening = "url(file:///", terminator = ") no-repeat center center\">";
    if (layout == PageLayout::Standard1) {
        opening = "<img src=\"file:///", terminator = "\" width=";
    } else if (layout == PageLayout::Standard2) {
        opening = "<img src=file:///", terminator = " width=";
    } else if (layout != PageLayout::Progress) {
        return std::nullopt;
    }
    const auto hex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); };
    auto end = page.find(opening);
    if (end == std::string_view::npos) return std::nullopt;
    const auto from = end += opening.size();
    for (; end < page.size(); ++end) {
        const auto c = static_cast<unsigned char>(page[end]);
        if (c <= 0x20 || c >= 0x7F ||
            std::string_view("\"#&'()<>?`{}\\").find(page[end]) != std::string_view::npos) {
            break;
        }
        if (c == '%' && !(end + 2 < page.size() && hex(page[end + 1]) && hex(page[end + 2]))) {
            return std::nullopt;
        }
    }
    if (page.substr(end, terminator.size()) != terminator) return std::nullopt;
    return page.substr(from, end - from);
}

}  // namespace rumora::hostile
