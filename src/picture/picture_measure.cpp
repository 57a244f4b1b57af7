#include "picture/picture_measure.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <cerrno>
#include <cstring>

namespace rumora {

namespace {

PictureMeasurement Unreadable(std::string reason) {
    return {PictureMeasurement::Outcome::Unreadable, 0, 0, std::move(reason)};
}

PictureMeasurement Undecodable(std::string reason) {
    return {PictureMeasurement::Outcome::Undecodable, 0, 0, std::move(reason)};
}

}  // namespace

PictureMeasurement MeasurePicture(const std::string& path) {
    if (path.empty()) return Unreadable("no file name");
    // A C string ends at NUL: the name would lead to another file.
    if (path.find('\0') != std::string::npos) return Unreadable("the file name holds a NUL");

    // Open first and check the opened file: a FIFO would block the reader
    // forever, and checking the name before opening would race with a swap.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return Unreadable(std::strerror(errno));
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return Unreadable(std::strerror(error));
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return Unreadable(S_ISDIR(info.st_mode) ? "is a folder" : "is not a regular file");
    }
    // Blocking reads from here on; a regular file never blocks.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);

    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Unreadable(file.errorString().toStdString());
    }

    QImageReader::setAllocationLimit(kPictureAllocationLimitMiB);
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    reader.setDecideFormatFromContent(true);
    // Qt lets QT_IMAGEIO_MAXALLOC override the limit set above, so check the
    // declared size against it ourselves before decoding.
    const QSize declared = reader.size();
    if (declared.isValid() && static_cast<qint64>(declared.width()) * declared.height() * 4 >
                                  (static_cast<qint64>(kPictureAllocationLimitMiB) << 20)) {
        return Undecodable("the picture is larger than " +
                           std::to_string(kPictureAllocationLimitMiB) + " MiB when decoded");
    }
    QImage image;
    if (!reader.read(&image)) {
        if (file.error() != QFileDevice::NoError && file.error() != QFileDevice::OpenError) {
            return Unreadable(file.errorString().toStdString());
        }
        return Undecodable(reader.errorString().toStdString());
    }
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) {
        return Undecodable("the picture has no size");
    }
    return {PictureMeasurement::Outcome::Measured, image.width(), image.height(), {}};
}

}  // namespace rumora
