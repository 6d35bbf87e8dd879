// The kit's file operations through POSIX, where there is no Win32: paths in
// UTF-8, a new file by O_EXCL without following a link, and rename, which
// replaces the old file in one step.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "fleet/FleetKit.h"

namespace plm::fleet {
namespace {

Text Reason(int error) { return FromUtf8(std::strerror(error)); }

class PosixFiles final : public FileSystem {
public:
    TextView Separators() const override { return u"/"; }

    Creation CreateNew(TextView path, std::string_view bytes) override {
        const std::string name = ToUtf8(path);
        // O_EXCL fails on any name that exists, a dangling link included.
        const int file = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (file < 0) return {errno == EEXIST ? Created::NameTaken : Created::Failed, Reason(errno)};
        int error = 0;
        for (std::size_t done = 0; done < bytes.size() && error == 0;) {
            const ssize_t n = write(file, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno != EINTR) error = errno;
            if (n > 0) done += static_cast<std::size_t>(n);
        }
        if (error == 0 && fsync(file) != 0) error = errno;
        if (close(file) != 0 && error == 0) error = errno;
        if (error == 0) return {Created::Yes, {}};
        unlink(name.c_str());
        return {Created::Failed, Reason(error)};
    }

    std::optional<Text> CannotReplace(TextView path) override {
        struct stat status {};
        if (lstat(ToUtf8(path).c_str(), &status) != 0) return std::nullopt;
        if (S_ISLNK(status.st_mode)) return Text(u"it is a symbolic link, which the kit does not replace");
        if (S_ISDIR(status.st_mode)) return Text(u"it is a folder");
        if (!S_ISREG(status.st_mode)) return Text(u"it is not a plain file");
        return std::nullopt;
    }

    std::optional<Text> Replace(TextView from, TextView to) override {
        if (std::rename(ToUtf8(from).c_str(), ToUtf8(to).c_str()) != 0) return Reason(errno);
        return std::nullopt;
    }

    void Remove(TextView path) override { unlink(ToUtf8(path).c_str()); }

    Text RunTag() override { return DecimalText(getpid()); }
};

}  // namespace

FileSystem& SystemFiles() {
    static PosixFiles files;
    return files;
}

}  // namespace plm::fleet
