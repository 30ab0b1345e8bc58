#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tessary {

// The read-only part of std::string's interface, over the view a derived class gives. Tag and
// Text use it so that code written against `std::string tag, data` reads the same.
template <typename Derived>
class TextOps {
  public:
    static constexpr std::size_t npos = std::string_view::npos;

    std::string_view view() const { return static_cast<const Derived&>(*this).View(); }
    operator std::string_view() const { return view(); }
    operator std::string() const { return std::string(view()); }
    std::string str() const { return std::string(view()); }

    std::size_t size() const { return view().size(); }
    std::size_t length() const { return view().size(); }
    bool empty() const { return view().empty(); }
    const char* begin() const { return view().data(); }
    const char* end() const { return view().data() + view().size(); }
    char operator[](std::size_t i) const { return view()[i]; }
    char front() const { return view().front(); }
    char back() const { return view().back(); }

    std::size_t find(std::string_view s, std::size_t pos = 0) const { return view().find(s, pos); }
    std::size_t find(char c, std::size_t pos = 0) const { return view().find(c, pos); }
    std::size_t rfind(std::string_view s, std::size_t pos = npos) const {
        return view().rfind(s, pos);
    }
    std::size_t rfind(char c, std::size_t pos = npos) const { return view().rfind(c, pos); }
    std::size_t find_first_of(std::string_view s, std::size_t pos = 0) const {
        return view().find_first_of(s, pos);
    }
    std::size_t find_last_of(std::string_view s, std::size_t pos = npos) const {
        return view().find_last_of(s, pos);
    }
    std::size_t find_first_not_of(std::string_view s, std::size_t pos = 0) const {
        return view().find_first_not_of(s, pos);
    }
    std::string substr(std::size_t pos = 0, std::size_t n = npos) const {
        return std::string(view().substr(pos, n));
    }
    int compare(std::string_view s) const { return view().compare(s); }
    int compare(std::size_t pos, std::size_t n, std::string_view s) const {
        return view().compare(pos, n, s);
    }
    bool starts_with(std::string_view s) const { return view().starts_with(s); }
    bool ends_with(std::string_view s) const { return view().ends_with(s); }

    friend bool operator==(const Derived& a, std::string_view b) { return a.view() == b; }
    friend std::strong_ordering operator<=>(const Derived& a, std::string_view b) {
        return a.view() <=> b;
    }
    friend std::string operator+(const Derived& a, std::string_view b) {
        std::string out(a.view());
        out.append(b);
        return out;
    }
    friend std::string operator+(std::string_view a, const Derived& b) {
        std::string out(a);
        out.append(b.view());
        return out;
    }
    friend std::string operator+(const std::string& a, const Derived& b) {
        return std::string_view(a) + b;
    }
    friend std::string operator+(const char* a, const Derived& b) {
        return std::string_view(a) + b;
    }
    friend std::string operator+(const Derived& a, const std::string& b) {
        return a + std::string_view(b);
    }
    friend std::string operator+(const Derived& a, const char* b) {
        return a + std::string_view(b);
    }
    friend std::string operator+(const Derived& a, char b) { return a + std::string_view(&b, 1); }
};

namespace tag_detail {
// The texts of the tags by handle (the table's array, which moves as it grows); unset until the
// first tag other than the empty one.
inline const std::string_view* views = nullptr;
}  // namespace tag_detail

// A tag: a small handle into the process's table of tag texts. Files use few distinct tags
// ("d", "k", "actor", "channels" ...), so each is stored once however many lines carry it.
// The table only grows; it holds up to 65,535 distinct tags besides the empty one, and
// interning one more throws std::bad_alloc, as running out of memory does. Tags and the table
// belong to the thread that uses the block trees (the program has one).
class Tag : public TextOps<Tag> {
  public:
    Tag() noexcept = default;
    explicit Tag(std::string_view text) : id_(Intern(text)) {}
    Tag& operator=(std::string_view text) {
        id_ = Intern(text);
        return *this;
    }
    Tag& operator=(const char* text) { return *this = std::string_view(text); }
    Tag& operator=(const std::string& text) { return *this = std::string_view(text); }
    void assign(std::string_view text) { *this = text; }
    void clear() noexcept { id_ = 0; }
    void swap(Tag& other) noexcept { std::swap(id_, other.id_); }

    std::string_view View() const { return id_ == 0 ? std::string_view() : tag_detail::views[id_]; }
    std::uint16_t Id() const { return id_; }
    friend bool operator==(const Tag& a, const Tag& b) { return a.id_ == b.id_; }

    // The handle of `text`, adding it to the table when it is new.
    static std::uint16_t Intern(std::string_view text);
    // The number of tags in the table, and taking back the ones added after it was `count`
    // (for a load that failed: nothing else may hold their handles).
    static std::size_t TableSize();
    static void ForgetTagsFrom(std::size_t count);
    static Tag FromId(std::uint16_t id) {
        Tag tag;
        tag.id_ = id;
        return tag;
    }

  private:
    std::uint16_t id_ = 0;
};

// A text of one line (a Block's data), in nine bytes. Up to eight bytes are held inline.
// Longer texts are shared, never copied: either a place in a TextPiece (the block of texts a
// load fills, kept alive as long as one text in it is), or a text of its own on the heap
// (what assignments and edits make). Both count their references; copying a Text takes one
// more, so a copied Block may outlive the file it came from. A Text is never changed in
// place: an edit builds the new text and lets go of the old one.
class Text : public TextOps<Text> {
  public:
    static constexpr std::size_t kInline = 8;

    Text() noexcept = default;
    explicit Text(std::string_view text) { Set(text); }
    Text(const Text& other) noexcept;
    Text(Text&& other) noexcept;
    Text& operator=(const Text& other) noexcept;
    Text& operator=(Text&& other) noexcept;
    ~Text() {
        if (kind_ > kInline) {
            Release();
        }
    }

    Text& operator=(std::string_view text) {
        Set(text);
        return *this;
    }
    Text& operator=(const char* text) { return *this = std::string_view(text); }
    Text& operator=(const std::string& text) { return *this = std::string_view(text); }
    void assign(std::string_view text) { Set(text); }
    void clear() noexcept;
    void swap(Text& other) noexcept;
    Text& operator+=(std::string_view more);
    Text& operator+=(char c) { return *this += std::string_view(&c, 1); }
    Text& append(std::string_view more) { return *this += more; }
    void push_back(char c) { *this += c; }
    Text& replace(std::size_t pos, std::size_t count, std::string_view with);
    Text& erase(std::size_t pos = 0, std::size_t count = npos) { return replace(pos, count, {}); }

    std::string_view View() const {
        if (kind_ <= kInline) {
            return std::string_view(reinterpret_cast<const char*>(bytes_), kind_);
        }
        // Shared texts of both kinds: four bytes of length, then the text.
        const char* pointer;
        std::memcpy(&pointer, bytes_, sizeof pointer);
        std::uint32_t size;
        std::memcpy(&size, pointer, sizeof size);
        return std::string_view(pointer + sizeof size, size);
    }

    // Whether the text lives in a TextPiece (rather than inline or on its own).
    bool InPiece() const { return kind_ == kPiece; }

  private:
    friend class TextArena;
    static constexpr unsigned char kPiece = 0xFE;
    static constexpr unsigned char kHeap = 0xFF;

    void Set(std::string_view text);
    void SetPointer(const void* pointer, unsigned char kind);
    const char* Pointer() const;
    void Release() noexcept;
    void Retain() const noexcept;

    unsigned char bytes_[kInline] = {};
    unsigned char kind_ = 0;  // the inline length, or kPiece, or kHeap
};

static_assert(sizeof(Text) == 9 && alignof(Text) == 1);
static_assert(sizeof(Tag) == 2);

struct PieceHeader;

// Fills TextPieces with the texts of one load, in order. Each piece counts the Texts that
// point into it, plus one while the arena still fills it; a piece is freed when its count
// drops to zero, whichever tree (or undo step, or copy) held the last text. Pieces start
// small and grow to 2 MiB (one huge page) for a large file.
class TextArena {
  public:
    TextArena() = default;
    ~TextArena();
    TextArena(const TextArena&) = delete;
    TextArena& operator=(const TextArena&) = delete;

    // Sets `text` (empty beforehand) to `value`: inline when short, else a copy in a piece.
    void Store(std::string_view value, Text& text);

  private:
    void NewPiece();

    PieceHeader* piece_ = nullptr;
    unsigned char* next_ = nullptr;  // where the next text goes
    unsigned char* limit_ = nullptr;
    std::size_t nextSize_ = 64 * 1024;
};

// The bytes held by pieces that are alive, for tests and benchmarks.
std::size_t LiveTextPieceBytes();

}  // namespace tessary
