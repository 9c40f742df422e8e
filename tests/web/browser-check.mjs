// The browser checks of the web build, run by scripts/ci/browser-test.sh against build/web served on
// 127.0.0.1. One check per invocation:
//   stills BASE REFDIR OUTDIR LIMIT TIME...
//       loads BASE/index.html?t=T0&still=1&size=640x360, then draws each further time with
//       velmora.still(T), each counted in velmora.stills once presented; screenshots each frame (OUTDIR/web_NNNNN.png) and compares it with the
//       headless runner's REFDIR/frame_NNNNN.png: the mean absolute difference must stay within
//       LIMIT and the screenshot must be closer to its own reference than to any other time's.
//   images BASE DUMPDIR PATH...
//       decodes each PATH (relative to BASE) the way the page decodes the demo's images and
//       writes DUMPDIR/<file name>.pam (RGBA) for velmora-image-compare.
//   nowebgl BASE
//       with WebGL 2 switched off in the browser, the launcher says that WebGL 2 is missing and
//       Launch stays disabled.
//   playback BASE
//       opens the launcher, chooses a custom 800x450 and Fullscreen, presses Launch with the mouse,
//       and checks the drawing buffer's size and full screen, that the music position advances at
//       about real speed, frames are drawn and the sound plays (audible), and that leaving full
//       screen ends the demo. Then, launched again: Space pauses and resumes the music, and a seek
//       to 190.5 s lets the demo end by itself past bar 142 (191.46 s).
import { writeFileSync } from "node:fs";
import { basename, join } from "node:path";
import { Chromium } from "./Chromium.mjs";
import { decodePng, meanDifference, readPng } from "./Png.mjs";

const kWidth = 640, kHeight = 360;

async function stills(browser, base, refDir, outDir, limit, times) {
  const name = (i) => `${String(i).padStart(5, "0")}.png`;
  const started = Date.now();
  await browser.navigate(`${base}/index.html?t=${times[0]}&still=1&size=${kWidth}x${kHeight}`);
  const shots = [];
  for (let i = 0; i < times.length; ++i) {
    if (i > 0) {
      const ok = await browser.evaluate(`velmora.still(${JSON.stringify(times[i])})`);
      if (!ok) throw new Error(`the page refused time ${times[i]}`);
    }
    await browser.waitFor(`velmora.stills === ${i + 1}`,
                          i === 0 ? 90 : 60, `the still at ${times[i]}`);
    const png = await browser.screenshot(kWidth, kHeight);
    writeFileSync(join(outDir, "web_" + name(i)), png);
    shots.push(decodePng(png));
  }
  const references = times.map((_, i) => readPng(join(refDir, "frame_" + name(i))));
  let failed = 0;
  console.log("   time      mean |diff|  nearest other time");
  for (let i = 0; i < times.length; ++i) {
    const own = meanDifference(shots[i], references[i]);
    let other = Infinity, otherTime = "-";
    references.forEach((r, j) => {
      const d = j === i ? Infinity : meanDifference(shots[i], r);
      if (d < other) { other = d; otherTime = times[j]; }
    });
    const ok = own <= limit && own < other;
    failed += ok ? 0 : 1;
    console.log(`   ${times[i].padEnd(8)}  ${own.toFixed(2).padStart(10)}  ${
        other.toFixed(2).padStart(7)} (${otherTime})${ok ? "" : "   <-- FAIL"}`);
  }
  console.log(`   ${times.length} stills in ${((Date.now() - started) / 1000).toFixed(1)} s`);
  return failed === 0;
}

async function images(browser, base, dumpDir, paths) {
  await browser.navigate(`${base}/index.html?t=0&still=1&size=16x16`);
  await browser.waitFor(`typeof velmora === "object" && velmora.decodeImage`, 30);
  for (const path of paths) {
    const image = await browser.evaluate(`velmora.decodeImage(${JSON.stringify(path)}).then(
        (i) => { let s = ""; for (let k = 0; k < i.pixels.length; k += 0x8000)
                   s += String.fromCharCode.apply(null, i.pixels.subarray(k, k + 0x8000));
                 return { width: i.width, height: i.height, data: btoa(s) }; })`);
    const header = `P7\nWIDTH ${image.width}\nHEIGHT ${image.height}\nDEPTH 4\nMAXVAL 255\n` +
                   `TUPLTYPE RGB_ALPHA\nENDHDR\n`;
    writeFileSync(join(dumpDir, basename(path) + ".pam"),
                  Buffer.concat([Buffer.from(header), Buffer.from(image.data, "base64")]));
  }
  return true;
}

async function noWebGl(browser, base) {
  await browser.navigate(`${base}/index.html`);
  await browser.waitFor(`velmora.phase === "failed" || velmora.phase === "ready"`, 30);
  const page = await browser.evaluate(`({ phase: velmora.phase,
      status: document.getElementById("status").textContent,
      launch: document.getElementById("launch").disabled })`);
  console.log(`   ${page.phase}: "${page.status}"`);
  return page.phase === "failed" && /no WebGL 2/.test(page.status) && page.launch;
}

async function playback(browser, base) {
  await browser.navigate(`${base}/index.html`);
  await browser.waitFor(`velmora.phase === "ready" || velmora.phase === "failed"`, 90,
                        "the launcher to be ready");
  const ready = await browser.evaluate(`velmora.phase`);
  if (ready !== "ready") throw new Error("the page failed: " + await browser.evaluate(
      `document.getElementById("status").textContent`));
  // A custom size and full screen, chosen the way a person would.
  await browser.evaluate(`(() => { const r = document.getElementById("resolution");
      r.value = "custom"; r.dispatchEvent(new Event("change"));
      document.getElementById("custom").value = "800x450";
      document.getElementById("fullscreen").checked = true; })()`);
  await browser.click("#launch");
  await browser.waitFor(`velmora.frames > 0 || velmora.phase === "failed"`, 60, "a first frame");
  const screen = await browser.evaluate(`({ w: canvas.width, h: canvas.height,
      full: document.fullscreenElement ? document.fullscreenElement.id : "" })`);
  console.log(`   drawing buffer ${screen.w} x ${screen.h}, full screen: ${screen.full || "no"}`);
  const first = await browser.evaluate(`({ p: velmora.position, f: velmora.frames,
      ms: velmora.firstFrameMs, t: performance.now(), stall: velmora.longestStallMs })`);
  await new Promise((r) => setTimeout(r, 4000));
  const later = await browser.evaluate(`({ p: velmora.position, f: velmora.frames,
      t: performance.now(), phase: velmora.phase, audible: velmora.audible })`);
  const advanced = later.p - first.p, elapsed = (later.t - first.t) / 1000;
  const frames = later.f - first.f;
  console.log(`   Launch to first frame ${first.ms.toFixed(0)} ms (longest main-thread stall ` +
              `${first.stall.toFixed(0)} ms); in ${elapsed.toFixed(2)} s ` +
              `the music moved ${advanced.toFixed(2)} s and ${frames} frames were drawn ` +
              `(${(frames / elapsed).toFixed(1)} fps); sound ${later.audible ? "playing" : "OFF"}`);
  // The music clock runs at real speed (a stalled element or a wall clock fallback would show
  // here); software rendering is slow, so a few frames a second are enough.
  const ok = later.audible && later.phase === "playing" && advanced > 0.8 * elapsed &&
             advanced < 1.2 * elapsed + 0.1 && frames >= 3;
  // Leaving full screen (Escape does that in a browser) ends the demo.
  await browser.evaluate(`document.exitFullscreen()`);
  await browser.waitFor(`velmora.phase === "ended"`, 10, "the end after leaving full screen");
  return ok && screen.w === 800 && screen.h === 450 && screen.full === "stage";
}

// Space pauses and resumes the music, a seek near the end ends the demo by itself.
async function controls(browser, base) {
  await browser.navigate(`${base}/index.html`);
  await browser.waitFor(`velmora.phase === "ready"`, 90, "the launcher to be ready");
  await browser.evaluate(`document.getElementById("resolution").value = "1280x720"`);
  await browser.click("#launch");
  await browser.waitFor(`velmora.frames > 0 && velmora.position > 0.5`, 60, "half a second");
  const space = async () => {
    for (const type of ["keyDown", "keyUp"])
      await browser.page("Input.dispatchKeyEvent", { type, key: " ", code: "Space",
                                                     windowsVirtualKeyCode: 32, text: " " });
  };
  await space();
  const paused = await browser.evaluate(`velmora.position`);
  await new Promise((r) => setTimeout(r, 1000));
  const stillPaused = await browser.evaluate(`velmora.position`);
  await space();
  await new Promise((r) => setTimeout(r, 1000));
  const resumed = await browser.evaluate(`velmora.position`);
  console.log(`   paused at ${paused.toFixed(3)} s, a second later ${stillPaused.toFixed(3)} s; ` +
              `resumed, a second later ${resumed.toFixed(3)} s`);
  await browser.evaluate(`Module._velmora_seek(190.5)`);
  const ended = await browser.waitFor(`velmora.phase === "ended" && velmora.position`, 15,
                                      "the end after seeking to 190.5 s");
  console.log(`   seeked to 190.5 s: the demo ended by itself at ${ended.toFixed(3)} s`);
  return stillPaused - paused < 0.01 && resumed - stillPaused > 0.7 && ended > 191.46 &&
         ended < 193;
}

const [check, base, ...rest] = process.argv.slice(2);
const flags = check === "playback" ? ["--autoplay-policy=no-user-gesture-required"]
            : check === "nowebgl" ? ["--disable-webgl2"] : [];
const browser = await Chromium.start(flags, kWidth, kHeight);
let ok = false;
try {
  if (check === "stills") ok = await stills(browser, base, rest[0], rest[1], +rest[2], rest.slice(3));
  else if (check === "images") ok = await images(browser, base, rest[0], rest.slice(1));
  else if (check === "playback") ok = await playback(browser, base) && await controls(browser, base);
  else if (check === "nowebgl") ok = await noWebGl(browser, base);
  else console.log("usage: browser-check.mjs stills|images|nowebgl|playback BASE ...");
} catch (e) {
  console.log("   " + e.message);
}
if (!ok) console.log("   page console (last lines):\n     " + browser.console.slice(-12).join("\n     "));
await browser.close();
process.exit(ok ? 0 : 1);
