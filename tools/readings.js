// Writes the readings of every Han character pinyin-pro knows, one character a line:
// the character, a tab, its readings in tone-marked pinyin separated by blanks.
//   node tools/readings.js <unpacked pinyin-pro package> > readings.tsv
"use strict";
const path = require("path");
const { polyphonic } = require(path.resolve(process.argv[2]));

// The CJK unified ideographs with extension A, the compatibility ideographs and extension B.
const ranges = [[0x3400, 0x4dbf], [0x4e00, 0x9fff], [0xf900, 0xfaff], [0x20000, 0x2a6df]];
const lines = [];
for (const [first, last] of ranges) {
    for (let code = first; code <= last; ++code) {
        const character = String.fromCodePoint(code);
        const readings = polyphonic(character, { type: "array" })[0] || [];
        // Characters it does not know come back as themselves.
        if (readings.length === 0 || readings.includes(character))
            continue;
        lines.push(character + "\t" + readings.join(" "));
    }
}
process.stdout.write(lines.join("\n") + "\n");
