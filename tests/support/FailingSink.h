#pragma once

// A sink that lets so many bytes through and then fails, as a full disk does: the writer and
// everything that saves through it can be tried on a disk that fills up part-way, without a
// limit on the whole process.

#include <cerrno>
#include <cstddef>
#include <memory>

#include "model/ByteStream.h"
#include "model/TextIO.h"

namespace tessary::test {

class FailingSink : public ByteSink {
  public:
    // Passes the first `limit` bytes to `inner`; every write after that fails with `error`.
    FailingSink(ByteSink& inner, std::size_t limit, int error = ENOSPC)
        : inner_(inner), left_(limit), error_(error) {}

    bool Write(const char* data, std::size_t size) override {
        if (size > left_) {
            if (left_ > 0) {
                inner_.Write(data, left_);
                left_ = 0;
            }
            errno = error_;
            return false;
        }
        left_ -= size;
        return inner_.Write(data, size);
    }
    bool Finish() override {
        if (left_ == 0) {
            errno = error_;
            return false;
        }
        return inner_.Finish();
    }

  private:
    ByteSink& inner_;
    std::size_t left_;
    int error_;
};

// The filter for WriteFileAtomically (and FigureFile::sinkFilter) that makes the disk full
// after `limit` bytes of the file.
inline SinkFilter FailAfter(std::size_t limit, int error = ENOSPC) {
    return [limit, error](ByteSink& file) -> std::unique_ptr<ByteSink> {
        return std::make_unique<FailingSink>(file, limit, error);
    };
}

}  // namespace tessary::test
