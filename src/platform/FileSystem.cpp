#include "platform/FileSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

Failure failureForErrno(int err, const QString& path)
{
    using namespace FailureNumber;
    switch (err) {
    case ENOENT: {
        const QFileInfo info(path);
        return makeFailure(path.isEmpty() || info.absoluteDir().exists() ? FileNotFound : PathNotFound);
    }
    case ENOTDIR: return makeFailure(PathNotFound);
    case EACCES:
    case EPERM:
    case EROFS: return makeFailure(PermissionDenied);
    case EISDIR: return makeFailure(PathFileAccess);
    case ENAMETOOLONG: return makeFailure(BadFileName);
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return makeFailure(DiskFull);
    case EIO:
    case ENXIO:
    case ENODEV: return makeFailure(DeviceIO);
    default: return makeFailure(PathFileAccess);
    }
}

// Closes the descriptor on every way out.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// A device or pipe takes the bytes as they come: it can't be replaced by a new file
// (that would put a plain file where the device node was), so it is written directly.
std::optional<Failure> writeToDevice(const QString& path, const QByteArray& native, const QByteArray& bytes)
{
    // Without O_NONBLOCK a pipe with no reader would hang the editor.
    Descriptor file{::open(native.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0)
        return failureForErrno(errno, path);
    ::fcntl(file.fd, F_SETFL, ::fcntl(file.fd, F_GETFL) & ~O_NONBLOCK);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(file.fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return failureForErrno(errno, path);
        }
        done += n;
    }
    const int fd = file.fd;
    file.fd = -1;
    if (::close(fd) != 0 && errno != EINTR)
        return failureForErrno(errno, path);
    return std::nullopt;
}

} // namespace

namespace FileSystem {

Result<QByteArray> readWholeFile(const QString& path)
{
    if (path.isEmpty())
        return makeFailure(FailureNumber::FileNotFound);
    const QByteArray native = QFile::encodeName(path);
    if (native.contains('\0'))
        return makeFailure(FailureNumber::BadFileName);
    // O_NONBLOCK: a pipe with no writer reads as empty instead of hanging the editor.
    Descriptor file{::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0)
        return failureForErrno(errno, path);
    struct stat st {};
    if (::fstat(file.fd, &st) != 0)
        return failureForErrno(errno, path);
    if (S_ISDIR(st.st_mode))
        return makeFailure(FailureNumber::PathFileAccess);

    // The file's length, read in one read (a short read from the kernel is continued).
    QByteArray bytes(qsizetype(st.st_size), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(file.fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return failureForErrno(errno, path);
        }
        if (n == 0)
            break; // the file shrank meanwhile
        done += n;
    }
    bytes.truncate(done);
    return bytes;
}

std::optional<Failure> writeWholeFile(const QString& path, const QByteArray& bytes)
{
    using namespace FailureNumber;
    if (path.isEmpty())
        return makeFailure(BadFileName);
    const QByteArray native = QFile::encodeName(path);
    if (native.contains('\0'))
        return makeFailure(BadFileName);
    const QFileInfo info(path);
    if (info.isDir())
        return makeFailure(PathFileAccess);
    if (!info.absoluteDir().exists())
        return makeFailure(PathNotFound);
    struct stat st {};
    if (::stat(native.constData(), &st) == 0 && !S_ISREG(st.st_mode))
        return writeToDevice(path, native, bytes);

    // QSaveFile keeps the old file's permissions and, where the folder takes no new
    // file (EACCES), writes in place.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        const int err = errno;
        if (info.exists() && !info.isWritable())
            return makeFailure(PermissionDenied);
        if (!info.exists() && !QFileInfo(info.absolutePath()).isWritable())
            return makeFailure(PermissionDenied);
        return failureForErrno(err ? err : EACCES, path);
    }
    // The bytes are pushed out here, not in commit(), so that errno still tells why a
    // write failed when it is read.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const int err = errno;
        file.cancelWriting(); // the temporary file goes, the old file stays as it was
        return failureForErrno(err ? err : EIO, path);
    }
    errno = 0;
    if (!file.commit()) {
        const int err = errno;
        return failureForErrno(err ? err : EIO, path);
    }
    return std::nullopt;
}

Result<qint64> fileSize(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return makeFailure(FailureNumber::FileNotFound);
    return info.size();
}

Result<QDateTime> fileModified(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return makeFailure(FailureNumber::FileNotFound);
    return info.lastModified();
}

} // namespace FileSystem
