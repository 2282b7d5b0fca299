#pragma once
// The stored fields of a shot, each with its key in ShotsData.idx, in the order the file
// writes them: one table for the file's reader and writer and for merging edits.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "shots/shot_definition.h"

using IntField = int32_t ShotDefinition::*;
using FlagField = bool ShotDefinition::*;
using TextField = std::wstring ShotDefinition::*;

struct ShotField {
  std::wstring_view text;  // the key, with its "="
  std::variant<IntField, FlagField, TextField> field;
};

inline constexpr size_t kShotFieldCount = 34;
const std::array<ShotField, kShotFieldCount>& shotFields();

// One visitor for the three kinds of field.
template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

// An edit made on a copy, put back over a record that others may have changed meanwhile: each
// stored field that the edit changed (where `edited` differs from `base`, the copy it started
// from) takes the edited value; every other field keeps the record's own. SHOT_ID and
// SHOT_GUID are the store's and never taken.
void mergeChangedFields(ShotDefinition& record, const ShotDefinition& base,
                        const ShotDefinition& edited);
