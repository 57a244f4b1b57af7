#pragma once

#include <stdexcept>
#include <string>

namespace rumora {

// A page that cannot be built. The command that asked for it ends without
// writing anything, and the previous page text stays as it was.
class PageBuildError : public std::runtime_error {
  public:
    enum class Kind {
        PastLastMonth,    // a month after December 9999 would be needed
        MonthOutOfRange,  // a first month the calendar cannot form
        SizeOutOfRange,   // the picture size cannot be computed (e.g. 0 twips per pixel)
    };

    PageBuildError(Kind kind, const std::string& message)
        : std::runtime_error(message), kind_(kind) {}

    Kind kind() const noexcept { return kind_; }

  private:
    Kind kind_;
};

}  // namespace rumora
