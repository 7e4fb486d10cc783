// Removal moves later texts of the same probe run back into the hole instead of leaving markers,
// so lookups never slow down however often entries come and go.
#include "lists/TextSet.h"

#include <cstdint>
#include <utility>

namespace fenrallo {

namespace {

// FNV-1a over the UTF-16 code units.
std::size_t hashOf(const Text& text)
{
    std::uint32_t value = 2166136261U;
    for (const wchar_t unit : text) {
        value = (value ^ static_cast<std::uint32_t>(unit)) * 16777619U;
    }
    return value;
}

}  // namespace

void TextSet::reserve(std::size_t count)
{
    std::size_t size = 16;
    while (size < count * 2) {
        size *= 2;
    }
    if (size <= texts_.size()) {
        return;
    }
    std::vector<Text> texts(size);
    std::vector<bool> used(size, false);
    texts.swap(texts_);
    used.swap(used_);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (used[i]) {
            const std::size_t to = slot(texts[i]);
            texts_[to] = std::move(texts[i]);
            used_[to] = true;
        }
    }
}

bool TextSet::insert(const Text& text)
{
    reserve(count_ + 1);
    const std::size_t at = slot(text);
    if (used_[at]) {
        return false;
    }
    texts_[at] = text;
    used_[at] = true;
    ++count_;
    return true;
}

void TextSet::erase(const Text& text)
{
    if (count_ == 0) {
        return;
    }
    std::size_t hole = slot(text);
    if (!used_[hole]) {
        return;
    }
    const std::size_t mask = texts_.size() - 1;
    for (std::size_t next = (hole + 1) & mask; used_[next]; next = (next + 1) & mask) {
        // A text may fill the hole when the hole lies between its home slot and where it is.
        const std::size_t home = hashOf(texts_[next]) & mask;
        if (((next - home) & mask) >= ((next - hole) & mask)) {
            texts_[hole] = std::move(texts_[next]);
            hole = next;
        }
    }
    texts_[hole].clear();
    used_[hole] = false;
    --count_;
}

std::size_t TextSet::slot(const Text& text) const
{
    const std::size_t mask = texts_.size() - 1;
    std::size_t at = hashOf(text) & mask;
    while (used_[at] && texts_[at] != text) {
        at = (at + 1) & mask;
    }
    return at;
}

}  // namespace fenrallo
