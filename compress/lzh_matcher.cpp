#include "compress/lzh_matcher.h"

namespace packing::lzh {

LzssMatcher::LzssMatcher()
{
    for (int i = 0; i < FirstPosition; ++i)
        ring_[i] = ' ';
    // Every tree empty, no place in any tree.
    left_.fill(Nil);
    right_.fill(Nil);
    parent_.fill(Nil);
}

void LzssMatcher::insert(int r)
{
    const std::uint8_t *key = &ring_[r];
    int p = RingSize + 1 + key[0];
    int cmp = 1;
    left_[r] = right_[r] = Nil;
    matchLength_ = 0;
    for (;;) {
        if (cmp >= 0) {
            if (right_[p] == Nil) {
                right_[p] = r;
                parent_[r] = p;
                return;
            }
            p = right_[p];
        } else {
            if (left_[p] == Nil) {
                left_[p] = r;
                parent_[r] = p;
                return;
            }
            p = left_[p];
        }
        int i = 1;
        for (; i < LookAhead; ++i) {
            cmp = int(key[i]) - int(ring_[p + i]);
            if (cmp != 0)
                break;
        }
        if (i > Threshold) {
            const int distance = ((r - p) & (RingSize - 1)) - 1;
            if (i > matchLength_) {
                matchPosition_ = distance;
                matchLength_ = i;
                if (i >= LookAhead)
                    break;
            } else if (i == matchLength_ && distance < matchPosition_) {
                matchPosition_ = distance;
            }
        }
    }
    // A full-length match: the new string takes the old one's place in the tree.
    parent_[r] = parent_[p];
    left_[r] = left_[p];
    right_[r] = right_[p];
    parent_[left_[p]] = r;
    parent_[right_[p]] = r;
    if (right_[parent_[p]] == p)
        right_[parent_[p]] = r;
    else
        left_[parent_[p]] = r;
    parent_[p] = Nil;
}

void LzssMatcher::remove(int p)
{
    if (parent_[p] == Nil)
        return;
    int q;
    if (right_[p] == Nil) {
        q = left_[p];
    } else if (left_[p] == Nil) {
        q = right_[p];
    } else {
        q = left_[p];
        if (right_[q] != Nil) {
            do {
                q = right_[q];
            } while (right_[q] != Nil);
            right_[parent_[q]] = left_[q];
            parent_[left_[q]] = parent_[q];
            left_[q] = left_[p];
            parent_[left_[p]] = q;
        }
        right_[q] = right_[p];
        parent_[right_[p]] = q;
    }
    parent_[q] = parent_[p];
    if (right_[parent_[p]] == p)
        right_[parent_[p]] = q;
    else
        left_[parent_[p]] = q;
    parent_[p] = Nil;
}

} // namespace packing::lzh
