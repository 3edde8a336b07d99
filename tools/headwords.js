// Writes the idiom headwords of the npm package cnchar-idiom, one a line, in its order.
//   node tools/headwords.js <unpacked cnchar-idiom package> > headwords.txt
"use strict";
const path = require("path");
const { dict } = require(path.resolve(process.argv[2]));

// The package keeps its headwords as one array inside its script; nothing else is needed.
if (!dict || !Array.isArray(dict.idiom) || dict.idiom.length === 0) {
    process.stderr.write("headwords.js: no headword list in " + process.argv[2] + "\n");
    process.exit(1);
}
process.stdout.write(dict.idiom.join("\n") + "\n");
