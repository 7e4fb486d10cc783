// A set of texts compared exactly, unit for unit, as the source list decides duplicates: open
// addressing with linear probing over a table at most half full. std::unordered_set would do the
// same job with about 3 KiB more of the exe.
#pragma once

#include <vector>

#include "platform/Text.h"

namespace fenrallo {

class TextSet {
public:
    // Room for `count` texts in all without growing.
    void reserve(std::size_t count);
    // True when `text` was not in the set and now is.
    bool insert(const Text& text);
    void erase(const Text& text);
    bool contains(const Text& text) const { return count_ != 0 && used_[slot(text)]; }
    std::size_t size() const { return count_; }

private:
    // Where `text` is, or the free slot where it would go.
    std::size_t slot(const Text& text) const;

    std::vector<Text> texts_;
    std::vector<bool> used_;
    std::size_t count_ = 0;
};

}  // namespace fenrallo
