#include "BlockIndex.h"

#include <bit>

namespace vela {

void BlockIndex::assign(std::vector<int> lengths) {
    lengths_ = std::move(lengths);
    rebuild();
}

void BlockIndex::replace(int first, int count, const std::vector<int>& lengths) {
    if (count == int(lengths.size())) {
        for (int i = 0; i < count; ++i) {
            add(first + i, lengths[i] - lengths_[first + i]);
            lengths_[first + i] = lengths[i];
        }
        return;
    }
    lengths_.erase(lengths_.begin() + first, lengths_.begin() + first + count);
    lengths_.insert(lengths_.begin() + first, lengths.begin(), lengths.end());
    rebuild();
}

void BlockIndex::rebuild() {
    const int n = int(lengths_.size());
    tree_.assign(n + 1, 0);
    total_ = 0;
    for (int i = 1; i <= n; ++i) {
        tree_[i] += lengths_[i - 1];
        total_ += lengths_[i - 1];
        const int parent = i + (i & -i);
        if (parent <= n) tree_[parent] += tree_[i];
    }
}

void BlockIndex::add(int block, int delta) {
    if (delta == 0) return;
    total_ += delta;
    for (int i = block + 1; i < int(tree_.size()); i += i & -i) tree_[i] += delta;
}

int BlockIndex::prefix(int block) const {
    int sum = 0;
    for (int i = block; i > 0; i -= i & -i) sum += tree_[i];
    return sum;
}

int BlockIndex::blockAt(int pos) const {
    const int n = int(lengths_.size());
    if (n == 0) return 0;
    int idx = 0;
    int rest = pos;
    for (int step = int(std::bit_floor(unsigned(n))); step > 0; step >>= 1) {
        if (idx + step <= n && tree_[idx + step] <= rest) {
            idx += step;
            rest -= tree_[idx];
        }
    }
    // idx blocks lie wholly at or before pos; pos is in block idx. Only the
    // last block can be empty, so clamping is all the end needs.
    return idx < n ? idx : n - 1;
}

} // namespace vela
