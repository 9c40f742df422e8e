// Just enough PNG for the browser checks: decodes 8-bit, non-interlaced greyscale, RGB and RGBA
// files (what Chromium's screenshots and the headless runner write) to RGBA rows, top first.
import { inflateSync } from "node:zlib";
import { readFileSync } from "node:fs";

export function decodePng(bytes) {
  if (bytes.readUInt32BE(0) !== 0x89504e47) throw new Error("not a PNG");
  let width = 0, height = 0, channels = 0;
  const data = [];
  for (let at = 8; at < bytes.length;) {
    const length = bytes.readUInt32BE(at);
    const type = bytes.toString("latin1", at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (type === "IHDR") {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      const depth = body[8], colour = body[9], interlace = body[12];
      channels = { 0: 1, 2: 3, 4: 2, 6: 4 }[colour];
      if (depth !== 8 || !channels || interlace) throw new Error("unsupported PNG layout");
    } else if (type === "IDAT") {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const rows = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; ++x) {
      const a = x >= channels ? rows[y * stride + x - channels] : 0;
      const b = y > 0 ? rows[(y - 1) * stride + x] : 0;
      const c = x >= channels && y > 0 ? rows[(y - 1) * stride + x - channels] : 0;
      let v = line[x];
      if (filter === 1) v += a;
      else if (filter === 2) v += b;
      else if (filter === 3) v += (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        v += pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      rows[y * stride + x] = v & 0xff;
    }
  }
  const rgba = Buffer.alloc(width * height * 4);
  for (let i = 0; i < width * height; ++i) {
    const s = rows.subarray(i * channels, (i + 1) * channels);
    const grey = channels <= 2;
    rgba[i * 4] = s[0];
    rgba[i * 4 + 1] = grey ? s[0] : s[1];
    rgba[i * 4 + 2] = grey ? s[0] : s[2];
    rgba[i * 4 + 3] = channels === 4 ? s[3] : channels === 2 ? s[1] : 255;
  }
  return { width, height, rgba };
}

export function readPng(path) {
  return decodePng(readFileSync(path));
}

// Mean absolute difference of the red, green and blue channels, 0 to 255.
export function meanDifference(a, b) {
  if (a.width !== b.width || a.height !== b.height) return Infinity;
  let sum = 0;
  for (let i = 0; i < a.rgba.length; i += 4) {
    sum += Math.abs(a.rgba[i] - b.rgba[i]) + Math.abs(a.rgba[i + 1] - b.rgba[i + 1]) +
           Math.abs(a.rgba[i + 2] - b.rgba[i + 2]);
  }
  return sum / (a.width * a.height * 3);
}
