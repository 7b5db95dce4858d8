#pragma once
// Byte lengths of the document's blocks (CP932 bytes of the text plus 2 for the
// CR LF that ends every block but the last), summed in a Fenwick tree so that
// a byte position finds its block, and a block its first byte, in O(log n).

#include <vector>

namespace vela {

class BlockIndex {
public:
    /// Replaces every length (O(n)).
    void assign(std::vector<int> lengths);
    /// Replaces `count` lengths from `first` by `lengths` (any size).
    /// O(log n) when the block count stays, O(n) when blocks come or go.
    void replace(int first, int count, const std::vector<int>& lengths);

    int blockCount() const { return int(lengths_.size()); }
    int length(int block) const { return lengths_[block]; }
    int total() const { return total_; }
    /// Bytes before `block` (block may equal blockCount()).
    int prefix(int block) const;
    /// The block holding byte `pos`: the last block whose prefix is <= pos.
    /// A position at or past the end gives the last block.
    int blockAt(int pos) const;

private:
    void rebuild();
    void add(int block, int delta);

    std::vector<int> lengths_;
    std::vector<int> tree_; // 1-based Fenwick tree over lengths_
    int total_ = 0;
};

} // namespace vela
