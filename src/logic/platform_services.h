// Everything the window's logic needs from the desktop. The logic reaches
// the desktop through this interface alone, so every handler runs the same
// under the real window and under a scripted stand-in in tests.
#pragma once

#include <cstdint>
#include <string>

#include "events/event_reader.h"
#include "logic/page_settings.h"
#include "measure/picture_measure.h"

namespace rumora {

struct CalendarDate {
    int year = 1999;
    int month = 5;
    int day = 26;
};

class PlatformServices {
  public:
    virtual ~PlatformServices() = default;

    // Modal dialogs. `filter` has the form "Description|*.a;*.b". Each
    // returns the chosen full path, or "" when the user cancelled.
    virtual std::string ShowOpenDialog(const std::string& filter) = 0;
    virtual std::string ShowSaveDialog(const std::string& filter) = 0;
    // Asked before a save replaces an existing file; false keeps the file.
    virtual bool ConfirmReplace(const std::string& path) = 0;
    // Opens at `presetFontName`; returns the chosen face name, or "" on cancel.
    virtual std::string ShowFontDialog(const std::string& presetFontName) = 0;
    // Opens at `preset`; colours are red + 256 * green + 65536 * blue, and
    // a cancel returns -1.
    virtual std::int32_t ShowColorDialog(std::int32_t preset) = 0;

    // Decodes the picture to learn its size in pixels (the holder then
    // takes that size times the twips per pixel).
    virtual PictureMeasurement LoadPicture(const std::string& path) = 0;
    virtual ScreenMetrics Screen() = 0;
    // Reads the calendar file at `path` and its events' occurrences on the
    // Japan dates firstDay to lastDay (days since 1970); a file that cannot
    // be read or used has its reason in the result's problem.
    virtual events::Calendar ReadCalendarFile(const std::string& path, std::int32_t firstDay,
                                              std::int32_t lastDay) = 0;

    // The window's own font face name (Form1.FontName).
    virtual std::string WindowFontName() = 0;
    // Folder of the running program, without a trailing separator except
    // at the root.
    virtual std::string AppPath() = 0;
    // Asks the desktop to open `path` with its default application. Returns
    // a value above 32 on success, 0 otherwise; it does not wait.
    virtual std::int32_t ShellOpen(const std::string& path) = 0;
    virtual CalendarDate Today() = 0;

    // Writes the page file (code page 932), replacing `path` safely but never
    // over `picture`, the picture file the page shows. Throws PageFileError
    // on failure, leaving any old file as it was.
    virtual void WritePage(const std::string& path, const std::string& page,
                           const std::string& picture) = 0;

    // Tells the user something went wrong (Japanese text).
    virtual void ShowMessage(const std::string& text) = 0;
};

}  // namespace rumora
