// What the verifier expects of each layout image, generated from the layout
// source by tools/kbdgen.py (kbd_expect.c).
#pragma once

#include <wchar.h>

typedef struct { unsigned char scan; unsigned short vk; } ExpectVscVk;

typedef struct {
    unsigned char vk, attr, ncols;
    unsigned char deadmask;    // bit n: column n is a dead key, ch[n] its diacritic
    unsigned short ch[6];      // 0xF000 = nothing
} ExpectRow;

typedef struct { unsigned short diacritic, base, composed; } ExpectDead;
typedef struct { unsigned short key; const wchar_t *name; } ExpectName;

typedef struct {
    const wchar_t *file;
    int variant;
    const unsigned short *scan;            // 127 entries
    const ExpectVscVk *e0, *e1;            // each ends with { 0, 0 }
    const ExpectRow *rows;                 // ends with vk 0
    const ExpectDead *dead;                // ends with diacritic 0
    const ExpectName *names, *names_ext, *names_dead;   // end with name 0
} ExpectImage;

extern const ExpectImage kExpectImages[];
extern const int kExpectImageCount;
