// Writes the page's WebAssembly code as one JavaScript statement: the
// module's bytes compressed (gzip, which every browser the page runs in can
// undo with DecompressionStream) and written in base64, about half the
// bytes of the module written in base64 alone.
//
//   node pack_module.mjs MODULE.wasm OUTPUT.js
import fs from 'node:fs';
import zlib from 'node:zlib';

const [input, output] = process.argv.slice(2);
const packed = zlib.gzipSync(fs.readFileSync(input), {level: 9});
fs.writeFileSync(output, `const LUMORA_MODULE_GZIP = '${packed.toString('base64')}';\n`);
