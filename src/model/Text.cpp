#include "model/Text.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <deque>
#include <new>
#include <unordered_map>
#include <vector>

#include "platform/HeapAdvice.h"

namespace tessary {

// --- Tags ---

namespace {

struct TagTable {
    std::deque<std::string> texts;            // stable storage
    std::vector<std::string_view> views{""};  // by handle; 0 is the empty tag
    std::unordered_map<std::string_view, std::uint16_t> ids{{std::string_view(), 0}};
};

// Never destroyed: Blocks in static storage may outlive any other static object.
TagTable& Tags() {
    static TagTable* table = [] {
        auto* made = new TagTable;
        tag_detail::views = made->views.data();
        return made;
    }();
    return *table;
}

}  // namespace

std::uint16_t Tag::Intern(std::string_view text) {
    TagTable& table = Tags();
    if (text.empty()) {
        return 0;
    }
    if (const auto found = table.ids.find(text); found != table.ids.end()) {
        return found->second;
    }
    if (table.views.size() > 0xFFFF) {
        throw std::bad_alloc();
    }
    const std::string& stored = table.texts.emplace_back(text);
    const auto id = static_cast<std::uint16_t>(table.views.size());
    table.views.push_back(stored);
    tag_detail::views = table.views.data();
    table.ids.emplace(stored, id);
    return id;
}

std::size_t Tag::TableSize() {
    return Tags().views.size();
}

void Tag::ForgetTagsFrom(std::size_t count) {
    TagTable& table = Tags();
    while (table.views.size() > std::max<std::size_t>(count, 1)) {
        table.ids.erase(table.views.back());
        table.views.pop_back();
        table.texts.pop_back();
    }
}

// --- Shared texts ---

namespace {

// Pieces are made of 64 KiB sections, each starting with the address of the piece's header
// (the first section holds the header itself), so the piece of any text is found from the
// text's address. A text never crosses a section boundary; a text longer than a section gets
// a piece of its own.
constexpr std::size_t kSection = 64 * 1024;
constexpr std::size_t kMaxPiece = 2 * 1024 * 1024;
constexpr std::size_t kLengthBytes = sizeof(std::uint32_t);

}  // namespace

struct PieceHeader {
    PieceHeader* self;  // where every section starts
    std::size_t refs;
    std::size_t size;
    std::size_t alignment;
};

namespace {

std::size_t liveBytes = 0;

constexpr std::size_t kSectionStart = sizeof(PieceHeader*);
constexpr std::size_t kFirstStart = sizeof(PieceHeader);

PieceHeader* PieceOf(const void* text) {
    const auto address = reinterpret_cast<std::uintptr_t>(text);
    PieceHeader* const* section = reinterpret_cast<PieceHeader* const*>(address & ~(kSection - 1));
    return *section;
}

PieceHeader* AllocatePiece(std::size_t size) {
    const std::size_t alignment = std::min(std::bit_ceil(size), kMaxPiece);
    void* memory = ::operator new (size, std::align_val_t{alignment});
    if (size >= kMaxPiece) {
        AdviseHugePages(memory, size);
    }
    auto* header = static_cast<PieceHeader*>(memory);
    *header = PieceHeader{header, 1, size, alignment};
    auto* bytes = static_cast<unsigned char*>(memory);
    for (std::size_t at = kSection; at < size; at += kSection) {
        std::memcpy(bytes + at, &header, sizeof header);
    }
    liveBytes += size;
    return header;
}

void DropPiece(PieceHeader* piece) noexcept {
    if (--piece->refs == 0) {
        liveBytes -= piece->size;
        ::operator delete (piece, std::align_val_t{piece->alignment});
    }
}

// A text of its own: reference count, length, bytes. A Text points at its length, as at a text
// in a piece.
struct HeapText {
    std::uint32_t refs;
    std::uint32_t size;
    char bytes[1];
};

static_assert(offsetof(HeapText, bytes) == offsetof(HeapText, size) + kLengthBytes);

HeapText* HeapTextAt(const char* pointer) {
    return reinterpret_cast<HeapText*>(const_cast<char*>(pointer) - offsetof(HeapText, size));
}

HeapText* NewHeapText(std::size_t size) {
    void* memory = ::operator new(offsetof(HeapText, bytes) + size);
    auto* text = static_cast<HeapText*>(memory);
    text->refs = 1;
    text->size = static_cast<std::uint32_t>(size);
    return text;
}

}  // namespace

std::size_t LiveTextPieceBytes() {
    return liveBytes;
}

const char* Text::Pointer() const {
    const char* pointer;
    std::memcpy(&pointer, bytes_, sizeof pointer);
    return pointer;
}

void Text::SetPointer(const void* pointer, unsigned char kind) {
    std::memcpy(bytes_, &pointer, sizeof pointer);
    kind_ = kind;
}

void Text::Retain() const noexcept {
    const char* pointer = Pointer();
    if (kind_ == kHeap) {
        ++HeapTextAt(pointer)->refs;
    } else {
        ++PieceOf(pointer)->refs;
    }
}

void Text::Release() noexcept {
    char* pointer = const_cast<char*>(Pointer());
    if (kind_ == kHeap) {
        HeapText* text = HeapTextAt(pointer);
        if (--text->refs == 0) {
            ::operator delete(text);
        }
    } else {
        DropPiece(PieceOf(pointer));
    }
    kind_ = 0;
}

Text::Text(const Text& other) noexcept : kind_(other.kind_) {
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    if (kind_ > kInline) {
        Retain();
    }
}

Text::Text(Text&& other) noexcept : kind_(other.kind_) {
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    other.kind_ = 0;
}

Text& Text::operator=(const Text& other) noexcept {
    if (this != &other) {
        Text copy(other);
        swap(copy);
    }
    return *this;
}

Text& Text::operator=(Text&& other) noexcept {
    if (this != &other) {
        Text taken(std::move(other));
        swap(taken);
    }
    return *this;
}

void Text::swap(Text& other) noexcept {
    unsigned char bytes[kInline];
    std::memcpy(bytes, bytes_, sizeof bytes);
    std::memcpy(bytes_, other.bytes_, sizeof bytes);
    std::memcpy(other.bytes_, bytes, sizeof bytes);
    std::swap(kind_, other.kind_);
}

void Text::clear() noexcept {
    if (kind_ > kInline) {
        Release();
    }
    kind_ = 0;
}

void Text::Set(std::string_view text) {
    // `text` may point into this Text: build the new one before letting go of the old.
    Text made;
    if (text.size() <= kInline) {
        if (!text.empty()) {
            std::memcpy(made.bytes_, text.data(), text.size());
        }
        made.kind_ = static_cast<unsigned char>(text.size());
    } else {
        if (text.size() > UINT32_MAX) {
            throw std::bad_alloc();
        }
        HeapText* heap = NewHeapText(text.size());
        std::memcpy(heap->bytes, text.data(), text.size());
        made.SetPointer(&heap->size, kHeap);
    }
    swap(made);
}

Text& Text::operator+=(std::string_view more) {
    std::string joined(View());
    joined.append(more);
    Set(joined);
    return *this;
}

Text& Text::replace(std::size_t pos, std::size_t count, std::string_view with) {
    std::string changed(View());
    changed.replace(pos, count, with);
    Set(changed);
    return *this;
}

// --- Arena ---

TextArena::~TextArena() {
    if (piece_ != nullptr) {
        DropPiece(piece_);
    }
}

void TextArena::NewPiece() {
    if (piece_ != nullptr) {
        DropPiece(piece_);
        piece_ = nullptr;
    }
    const std::size_t size = nextSize_;
    nextSize_ = std::min(2 * nextSize_, kMaxPiece);
    piece_ = AllocatePiece(size);
    next_ = reinterpret_cast<unsigned char*>(piece_) + kFirstStart;
    limit_ = reinterpret_cast<unsigned char*>(piece_) + size;
}

void TextArena::Store(std::string_view value, Text& text) {
    const std::size_t size = value.size();
    if (size <= Text::kInline) {
        std::memcpy(text.bytes_, value.data(), size);
        text.kind_ = static_cast<unsigned char>(size);
        return;
    }
    if (size > UINT32_MAX) {
        throw std::bad_alloc();
    }
    const std::size_t need = kLengthBytes + size;
    const auto length = static_cast<std::uint32_t>(size);
    if (need + kFirstStart > kSection) {
        // Longer than a section: a piece of its own, in whole sections, whose one reference
        // is the text's.
        PieceHeader* own = AllocatePiece((need + kFirstStart + kSection - 1) / kSection * kSection);
        unsigned char* at = reinterpret_cast<unsigned char*>(own) + kFirstStart;
        std::memcpy(at, &length, sizeof length);
        std::memcpy(at + kLengthBytes, value.data(), size);
        text.SetPointer(at, Text::kPiece);
        return;
    }
    for (;;) {
        if (piece_ != nullptr) {
            auto at = reinterpret_cast<std::uintptr_t>(next_);
            if ((at & (kSection - 1)) < kSectionStart) {
                at = (at & ~(kSection - 1)) + kSectionStart;  // past a section's start
            }
            const std::uintptr_t sectionEnd = (at & ~(kSection - 1)) + kSection;
            const auto limit = reinterpret_cast<std::uintptr_t>(limit_);
            if (at + need <= std::min(sectionEnd, limit)) {
                next_ = reinterpret_cast<unsigned char*>(at);
                break;
            }
            if (sectionEnd < limit) {
                next_ = reinterpret_cast<unsigned char*>(sectionEnd);
                continue;
            }
        }
        NewPiece();
    }
    std::memcpy(next_, &length, sizeof length);
    std::memcpy(next_ + kLengthBytes, value.data(), size);
    text.SetPointer(next_, Text::kPiece);
    ++piece_->refs;
    next_ += need;
}

}  // namespace tessary
