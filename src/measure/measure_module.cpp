#include "measure/measure_module.h"

#include <QLoggingCategory>
#include <algorithm>
#include <exception>
#include <string>

#include "measure/picture_measure.h"

void rumora_measure_picture_v1(const char* path, std::size_t length, RumoraPictureSize* result) {
    // The decoders' own chatter would break the batch tool's one-line errors.
    static const bool quiet = [] {
        QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio*=false"));
        return true;
    }();
    (void)quiet;
    rumora::PictureMeasurement measured;
    try {
        measured = rumora::MeasurePicture(std::string(path, length));
    } catch (const std::exception& error) {
        measured = {rumora::PictureMeasurement::Outcome::Undecodable, 0, 0, error.what()};
    }
    result->outcome = static_cast<int>(measured.outcome);
    result->width = measured.width;
    result->height = measured.height;
    const std::size_t kept = std::min(measured.reason.size(), sizeof result->reason - 1);
    std::copy_n(measured.reason.data(), kept, result->reason);
    result->reason[kept] = '\0';
}
