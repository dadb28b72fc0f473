#pragma once
// Internal: fixed masks for the small outline circles (radius 1.5 to 4 in
// steps of 0.5), centred in an n x n cell. Plain masks mark pixels with
// '#'; anti-aliased masks give each pixel's weight in 0..255.

struct PIX_CircleMask {
  float radius;
  int size;
  const char* plain;          // size x size characters, row by row
  const unsigned char* aa;    // size x size weights, row by row
};

const unsigned char kCircleAA1_5[] = {
    127, 255, 255, 127,
    255, 102, 102, 255,
    255, 102, 102, 255,
    127, 255, 255, 127,
};
const char kCirclePlain1_5[] =
    ".##."
    "#..#"
    "#..#"
    ".##.";

const unsigned char kCircleAA2[] = {
     71, 232, 255, 232,  71,
    232, 152,  48, 152, 232,
    255,  48,   0,  48, 255,
    232, 152,  48, 152, 232,
     71, 232, 255, 232,  71,
};
const char kCirclePlain2[] =
    ".###."
    "#...#"
    "#...#"
    "#...#"
    ".###.";

const unsigned char kCircleAA2_5[] = {
     33, 190, 255, 255, 190,  33,
    190, 210,  62,  62, 210, 190,
    255,  62,   0,   0,  62, 255,
    255,  62,   0,   0,  62, 255,
    190, 210,  62,  62, 210, 190,
     33, 190, 255, 255, 190,  33,
};
const char kCirclePlain2_5[] =
    ".####."
    "##..##"
    "#....#"
    "#....#"
    "##..##"
    ".####.";

const unsigned char kCircleAA3[] = {
     11, 133, 245, 255, 245, 133,  11,
    133, 250,  97,  46,  97, 250, 133,
    245,  97,   0,   0,   0,  97, 245,
    255,  46,   0,   0,   0,  46, 255,
    245,  97,   0,   0,   0,  97, 245,
    133, 250,  97,  46,  97, 250, 133,
     11, 133, 245, 255, 245, 133,  11,
};
const char kCirclePlain3[] =
    "..###.."
    ".#...#."
    "#.....#"
    "#.....#"
    "#.....#"
    ".#...#."
    "..###..";

const unsigned char kCircleAA3_5[] = {
      2,  78, 216, 251, 251, 216,  78,   2,
     78, 255, 146,  53,  53, 146, 255,  78,
    216, 146,   4,   0,   0,   4, 146, 216,
    251,  53,   0,   0,   0,   0,  53, 251,
    251,  53,   0,   0,   0,   0,  53, 251,
    216, 146,   4,   0,   0,   4, 146, 216,
     78, 255, 146,  53,  53, 146, 255,  78,
      2,  78, 216, 251, 251, 216,  78,   2,
};
const char kCirclePlain3_5[] =
    "..####.."
    ".#....#."
    "#......#"
    "#......#"
    "#......#"
    "#......#"
    ".#....#."
    "..####..";

const unsigned char kCircleAA4[] = {
      0,  39, 175, 250, 255, 250, 175,  39,   0,
     39, 232, 203,  77,  45,  77, 203, 232,  39,
    175, 203,  18,   0,   0,   0,  18, 203, 175,
    250,  77,   0,   0,   0,   0,   0,  77, 250,
    255,  45,   0,   0,   0,   0,   0,  45, 255,
    250,  77,   0,   0,   0,   0,   0,  77, 250,
    175, 203,  18,   0,   0,   0,  18, 203, 175,
     39, 232, 203,  77,  45,  77, 203, 232,  39,
      0,  39, 175, 250, 255, 250, 175,  39,   0,
};
const char kCirclePlain4[] =
    "..#####.."
    ".##...##."
    "##.....##"
    "#.......#"
    "#.......#"
    "#.......#"
    "##.....##"
    ".##...##."
    "..#####..";

const PIX_CircleMask kCircleMasks[] = {
    {1.5f, 4, kCirclePlain1_5, kCircleAA1_5},
    {2.0f, 5, kCirclePlain2, kCircleAA2},
    {2.5f, 6, kCirclePlain2_5, kCircleAA2_5},
    {3.0f, 7, kCirclePlain3, kCircleAA3},
    {3.5f, 8, kCirclePlain3_5, kCircleAA3_5},
    {4.0f, 9, kCirclePlain4, kCircleAA4},
};
