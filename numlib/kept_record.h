#pragma once

#include <cstddef>
#include <memory>
#include <mutex>

// The work record of the last call, kept for the next call that can use it: tables that cost more
// to build than to use, for a view redrawn or a slider moved at one length again and again. One
// slot; T has a `bytes` member, and a record above the caller's limit is not kept, so the slot
// never holds more than that.
// Take and Keep lock the slot, and a record taken belongs to its taker alone until it is kept
// again: the slot itself may be used from several threads. Its users may not, for all that: the
// periodogram (DPFFT) and the transforms of numlib/fft.h report through the library's error
// stack (numlib/error_stack.h), which is global, so none of them may run on two threads at once.
template <class T>
class KeptRecord {
public:
    // The kept record when fits(record) holds (the slot is then empty), else nullptr.
    template <class Fits>
    std::unique_ptr<T> Take(Fits fits)
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (kept_ && fits(*kept_)) return std::move(kept_);
        return nullptr;
    }

    // Keeps r in place of the record kept before, unless r is empty or larger than maxBytes.
    void Keep(std::unique_ptr<T> r, std::size_t maxBytes)
    {
        if (!r || r->bytes > maxBytes) return;
        std::lock_guard<std::mutex> guard(lock_);
        kept_ = std::move(r);
    }

private:
    std::mutex lock_;
    std::unique_ptr<T> kept_;
};
