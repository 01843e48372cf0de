#include "payload/packer/inventory.h"

// Rows of consecutive TextIds.
const TextIdRange kTextInventory[] = {
    {  0,  52},  // names, paths, registry keys and values, commands
    { 56,  60},  // run-time resolved functions
    { 62, 102},  // answer files, note, record values, header line, buttons
    {104, 106},
    {109, 115},  // setup page; the three layout variants
    {119, 124},
    {127, 133},
    {135, 137},
    {139, 141},
    {143, 153},  // install failure, libraries, patterns, expert buttons
    {155, 159},  // layout record values
    // key names: every NameTextId of the default key table
    {154, 154}, {162, 162}, {166, 169}, {173, 184}, {188, 232},
    {243, 244}, {246, 246}, {248, 275}, {278, 315}, {317, 317}, {326, 326},
};

const int kTextInventoryCount = sizeof(kTextInventory) / sizeof(kTextInventory[0]);
