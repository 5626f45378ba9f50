// Digit sprites: exports OrvNumber* and OrvSameNumberDraw (digits.cpp).
//
// A number is shown with a caller-owned array of sprites that all hold one digit strip (cells
// 0-9 digits, 10 plus, 11 minus, 12 and 13 marks, one row); sprite 0 shows the ones place.
// Null entries are skipped with last error 6. Game thread, under the render lock.
//
// OrvNumberCreate(list, path, sprites, count, priority): loads count hidden sprites from path.
// OrvNumberSetEx(sprites, x, y, step, count): sprite i goes to (x + (count-1-i) * step, y), z 0,
//   its node re-keyed to its priority. OrvNumberSet: step = the cell width of sprite 0.
// OrvNumberAlphaType / OrvNumberDrawCtrl: colour / visible flag of the first count sprites.
// OrvSameNumberDraw(sprites, count, cell): every sprite shows the same cell.
// OrvNumberDraw(sprites, value, count, flags) -> the last cell selection's result. Hides the
//   first count sprites, then shows the digits of |value| from the ones place. Unless flags bit
//   1 (2) is set, count becomes digits + (flags & 1): the array must then hold 11 entries, the
//   ten digits of the most negative value and its sign. The last shown sprite takes cell 10/11
//   (bit 0, plus/minus), else 12 (bit 2), else 13 (bit 3), else its digit.
// OrvNumberGetPlace(value): decimal digits of |value| (1 for 0, 10 for INT32_MIN).
#pragma once
