#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/TreeControl.h"

namespace tessary {

class LineSource;
class TextWriter;
struct Progress;

// What a lookup among children compares its key with: the tag alone, or the line key
// "tag data".
enum class Match { Tag, LineKey };

// One line of a figure or pose file together with its brace block.
//
// A Block owns its children by value; copies are deep and carry the tree-item handle of the
// source (but not the two folder handles). Nothing holds a pointer to its parent: code that
// needs the parent walks down from the root. Every walk over the tree is iterative, so a
// hostile file nested a million levels deep is read, copied, written and destroyed without
// exhausting the stack.
class Block {
  public:
    std::string tag;
    std::string data;
    std::vector<Block> children;
    std::int32_t hasBlock = 0;
    TreeItem treeItem = 0;
    TreeItem morphsItem = 0;
    TreeItem propsItem = 0;

    Block() = default;
    Block(const Block& other);
    Block(Block&& other) noexcept;
    Block& operator=(const Block& other);
    Block& operator=(Block&& other) noexcept;
    ~Block();

    // Empties tag and data, destroys the children, clears hasBlock and treeItem; the two
    // folder handles stay.
    void Reset();

    // Fills tag and data from one line of text (ParseLine on this Block).
    void SetLine(std::string_view line);

    // Appends the lines read from `source` until the "}" that closes this Block's brace block
    // or the end of the text.
    void ParseBlock(LineSource& source);

    // Writes this Block's line, and its brace block if hasBlock is 1, at the given depth (-1
    // for the root). Errors are the writer's (see TextWriter::Ok).
    void Write(TextWriter& out, int depth, Progress* progress = nullptr) const;

    // Number of Blocks in this subtree, this one included.
    long long CountNodes() const;

    // Appends a child, growing the array by an eighth of its size (at least 4, at most 1024
    // elements) when it is full. Returns the new child.
    Block& AppendChild();
    Block& AppendChild(Block child);
    // Inserts a child at `index` (0 = first) with the same growth rule.
    Block& InsertChild(std::size_t index, Block child);
    void RemoveChild(std::size_t index);

    // --- Lookups among direct children (nothing deeper is searched) ---
    int FindChildIndex(std::string_view tag) const;
    int FindChildIndex(std::string_view tag, std::string_view data, bool baseNames) const;
    Block* FindChild(std::string_view tag, std::string_view data, bool baseNames);
    const Block* FindChild(std::string_view tag, std::string_view data, bool baseNames) const;
    // The n-th child (from 0) whose tag, or whose whole line key "tag data", is `key`.
    Block* FindNthChild(std::string_view key, int n, Match match);
    const Block* FindNthChild(std::string_view key, int n, Match match) const;
    int FindNthChildIndex(std::string_view key, int n, Match match) const;
    std::string GetParentName() const;

    // --- Links between tree items and Blocks ---
    void ClearTreeItems();
    Block* FindByTreeItem(TreeItem item);
    const Block* FindByTreeItem(TreeItem item) const;
    bool RemoveByTreeItem(TreeItem item);

    // --- Paths: segments "tag data" joined by "|", the root's segment a single space ---
    bool BuildPath(std::string& path, TreeItem item, bool baseNames) const;
    std::string PathOf(TreeItem item, bool baseNames) const;
    Block* FindByPath(std::string_view path, bool baseNames);
    bool InsertCopyAtPath(std::string_view path, const Block* source, bool baseNames);
    bool RemoveAtPath(std::string_view path, std::string_view lineKey);

    // --- Recursive edits over this Block and its descendants ---
    void RemoveMatching(std::string_view tag, std::string_view data);
    void ReplaceData(std::string_view tag, std::string_view data, std::string_view newData);
    void RenameData(std::string_view oldData, std::string_view newName);
    void RenameTag(std::string_view oldTag, std::string_view newName);
    void SetDataWhereTag(std::string_view tag, std::string_view newName);
    // SetDataWhereTag for each of `tags` in turn, in one walk: a Block's tag matches at most one
    // of them and the change leaves tags alone, so the result is the same.
    void SetDataWhereTag(std::initializer_list<std::string_view> tags, std::string_view newName);

    // Sum of the lengths of tag and data over this subtree.
    long long TextSize() const;

    // "tag data": the key a child is looked up by; ends in a space when data is empty.
    std::string LineKey() const;
};

// Splits one line into tag and data (after Reset of the Block).
void ParseLine(std::string_view line, Block& block);

// Appends one output line ("indent tag data\n", or nothing when tag is empty) to `out`.
void FormatLine(std::string_view tag, std::string_view data, std::string_view indent,
                std::string& out);

}  // namespace tessary
