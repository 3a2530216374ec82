#include "system/StreamCopy.h"

#include <memory>

namespace pelko {

// Windows copies between two open handles only through a buffer: it has
// neither copy_file_range nor sendfile (CopyFileExW takes paths, and
// TransmitFile sends to sockets), so every way falls back to reading and
// writing.
Outcome<StreamCopied> StreamCopy(File& input, File& output, CopyWay) {
    const std::unique_ptr<char[]> buffer(new char[kStreamBufferSize]);
    StreamCopied result{CopyWay::ReadWrite, 0};
    for (;;) {
        const Outcome<std::size_t> got = ReadSome(input, buffer.get(), kStreamBufferSize);
        if (!got) return got.Error();
        if (*got == 0) return result;
        if (Outcome<void> written = WriteAll(output, buffer.get(), *got); !written) return written.Error();
        result.copied += *got;
    }
}

}  // namespace pelko
