#pragma once
// Rows made on a thread of their own, a few strips ahead of the caller that
// takes them, so that making a row and using it share two cores.
#include <cstddef>
#include <cstdint>
#include <functional>

namespace ostrel {

// Hands each row made to the given function, which must use it before it returns.
using RowSink = std::function<void(const std::uint8_t*)>;
// Makes rows, top first, into the sink; answers whether all of them came.
using RowMaker = std::function<bool(const RowSink&)>;

// Runs make on a second thread and gives its rows (rowBytes each) to take on
// the calling thread, in order. Answers what make answered, once take has had
// every row made. Meanwhile, if given, runs on the calling thread once make has
// been started and before the first row is taken: set-up that take needs goes
// there, beside the making instead of before it. Where no second thread can
// be had (another caller has it, say), meanwhile runs first and make runs here,
// straight into take. An exception from meanwhile or take leaves after the
// second thread has ended.
bool takeRowsMadeAhead(std::size_t rowBytes, const RowMaker& make, const RowSink& take,
                       const std::function<void()>& meanwhile = {});

}  // namespace ostrel
