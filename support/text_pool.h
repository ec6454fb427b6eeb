// Constant tables that name their texts by offset into one block of
// characters.  A pointer in a constant table is a relocation the loader
// applies at every start of the driver; an offset is plain data.  The block
// and the offsets are worked out by the compiler from the texts as written,
// so a table reads like a table of strings in its source.
#ifndef VORN_SUPPORT_TEXT_POOL_H
#define VORN_SUPPORT_TEXT_POOL_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <limits>
#include <string_view>
#include <type_traits>

namespace vorn {

// The texts of a table, each ended by a null character in CHARS, one that
// equals an earlier one stored once.  OFFSETS[I] is where text I starts, or
// kNone for a null text (a default-constructed string_view).
template <typename Offset, std::size_t Size, std::size_t Count>
struct TextPool {
  static constexpr Offset kNone = std::numeric_limits<Offset>::max();

  std::array<char, Size> chars;
  std::array<Offset, Count> offsets;

  // The text at OFFSET, null for kNone.
  constexpr const char* at(Offset offset) const {
    return offset == kNone ? nullptr : chars.data() + offset;
  }
  constexpr const char* text(std::size_t index) const { return at(offsets[index]); }
};

namespace text_pool_detail {

// A null text is a default-constructed view.  A text with characters is
// never null, and is told so without comparing its address: with the
// sanitizers' null checks the compiler does not take the address of a
// named constant (a configuration value) for non-null.
constexpr bool is_null(std::string_view text) {
  return text.empty() && text.data() == nullptr;
}

template <std::size_t Count>
constexpr std::size_t first_equal(const std::array<std::string_view, Count>& texts,
                                  std::size_t index) {
  for (std::size_t i = 0; i < index; ++i) {
    if (!is_null(texts[i]) && texts[i] == texts[index]) return i;
  }
  return index;
}

template <std::size_t Count>
constexpr std::size_t pooled_size(const std::array<std::string_view, Count>& texts) {
  std::size_t size = 0;
  for (std::size_t i = 0; i < Count; ++i) {
    if (!is_null(texts[i]) && first_equal(texts, i) == i) size += texts[i].size() + 1;
  }
  return size;
}

}  // namespace text_pool_detail

// The pool of the texts that TEXTS (a lambda without captures returning a
// std::array of string_view) lists.  The build fails when an offset does
// not fit OFFSET, or when a text holds a null character, which would cut it
// short when read back.
template <typename Offset, typename Texts>
consteval auto make_text_pool(Texts) {
  constexpr auto texts = Texts{}();
  constexpr std::size_t kCount = texts.size();
  constexpr std::size_t kSize = text_pool_detail::pooled_size(texts);
  TextPool<Offset, kSize, kCount> pool{};
  std::size_t at = 0;
  for (std::size_t i = 0; i < kCount; ++i) {
    if (text_pool_detail::is_null(texts[i])) {
      pool.offsets[i] = pool.kNone;
      continue;
    }
    const std::size_t first = text_pool_detail::first_equal(texts, i);
    if (first != i) {
      pool.offsets[i] = pool.offsets[first];
      continue;
    }
    if (at >= pool.kNone) throw "text pool: an offset does not fit the offset type";
    pool.offsets[i] = static_cast<Offset>(at);
    for (char c : texts[i]) {
      if (c == '\0') throw "text pool: a text holds a null character";
      pool.chars[at++] = c;
    }
    pool.chars[at++] = '\0';
  }
  return pool;
}

// A constant table read through AT: indexes and iterates like an array of
// COUNT entries, each what AT returns for its index (an entry built from the
// table's packed row, or a reference to one built earlier).
template <auto At, std::size_t Count>
class TableView {
 public:
  using Entry = decltype(At(std::size_t{0}));

  class iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = std::remove_cvref_t<Entry>;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = Entry;

    constexpr iterator() = default;
    explicit constexpr iterator(std::size_t index) : index_(index) {}
    Entry operator*() const { return At(index_); }
    iterator& operator++() {
      ++index_;
      return *this;
    }
    iterator operator++(int) {
      iterator old = *this;
      ++index_;
      return old;
    }
    friend bool operator==(iterator a, iterator b) { return a.index_ == b.index_; }

   private:
    std::size_t index_ = 0;
  };

  static constexpr std::size_t size() { return Count; }
  Entry operator[](std::size_t index) const { return At(index); }
  iterator begin() const { return iterator(0); }
  iterator end() const { return iterator(Count); }
};

}  // namespace vorn

#endif  // VORN_SUPPORT_TEXT_POOL_H
