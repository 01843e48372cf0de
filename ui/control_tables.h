// The table formats that drive the pages' controls: constant arrays of 32-bit
// values, each ended by a sentinel row.
//
//   IdList        control ids, ended by 0
//   CaptionEntry  (control id, TextId), ended by (0, 0)
//   OptionEntry   (TextId, item data), ended by TextId 0
//   PairEntry     (key, value), ended by key 0
#pragma once

#include <stdint.h>

#include "payload/text_id.h"

typedef int32_t IdList;

struct CaptionEntry {
    int32_t ctrlId;
    TextId textId;
};

struct OptionEntry {
    TextId textId;
    int32_t data;
};

struct PairEntry {
    int32_t key;
    int32_t value;
};

// Number of rows of a constant table, sentinel included.
template <typename T, int N>
constexpr int TableRows(const T (&)[N]) { return N; }
