// The browser page when things go wrong, run by scripts/ci/browser-test.sh against copies of
// build/web served by python's http.server (which answers no range requests). One check per
// invocation:
//   files BASE [NOSNIFF_BASE]
//                   each BASE/<variant>/ lacks or damages one file: velmora.data, velmora.wasm or
//                   launcher.js missing, velmora.data or velmora.wasm cut short: loading ends on
//                   one line naming the file, which stays; an image missing and the soundtrack
//                   cut short: "Ready." names both, in view in a 360-pixel window, Launch focused;
//                   past the soundtrack's cut the picture goes on with the wall clock.
//                   NOSNIFF_BASE serves the page's scripts as text with "nosniff": the page says so.
//   sizes BASE      custom sizes the WebGL cannot hold (9000x100, 99999x99999) and one of two
//                   million characters are refused with one line, the launcher stays usable and
//                   then launches 640x360 with Enter in the field; "window size" at 5x zoom is
//                   scaled down to fit.
//   stills BASE     ?still=1 with a bad time or size shows the message above the black stage.
//   context BASE    a lost WebGL context stops the frames and the music and says so; restored,
//                   the demo loads again and goes on from the same position.
//   controls BASE   on a fresh load: held Space (key repeats) pauses once; a seek to 190.5 s
//                   ends the demo by itself past bar 142; the tab title stays the viewer's, no
//                   program line reaches the console's default levels, the favicon loads.
import { Chromium } from "./Chromium.mjs";
import { decodePng } from "./Png.mjs";

const kWidth = 640, kHeight = 360;
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const statusOf = (browser) => browser.evaluate(`({ phase: velmora.phase,
    status: document.getElementById("status").textContent,
    error: document.getElementById("status").className === "error",
    launch: !document.getElementById("launch").disabled })`);

function expect(what, ok, detail) {
  console.log(`   ${ok ? "ok  " : "FAIL"} ${what}${detail ? ": " + detail : ""}`);
  return ok;
}

async function ready(browser, url) {
  await browser.navigate(url);
  await browser.waitFor(`velmora.phase === "ready" || velmora.phase === "failed"`, 90, "loading");
  return statusOf(browser);
}

async function files(browser, base, nosniff) {
  let ok = true;
  const failures = [["no-data", /velmora\.data is missing \(HTTP 404\)/],
                    ["short-data", /velmora\.data is cut short \(\d+ of \d+ bytes\)/],
                    ["no-wasm", /velmora\.wasm is missing \(HTTP 404\)/],
                    ["short-wasm", /velmora\.wasm is damaged/]];
  for (const [variant, line] of failures) {
    const first = await ready(browser, `${base}/${variant}/index.html`);
    await sleep(1500);  // nothing may overwrite it
    const later = await statusOf(browser);
    ok = expect(`${variant}: "${later.status}"`, first.phase === "failed" && later.error &&
                line.test(later.status) && later.status === first.status && !later.launch) && ok;
  }
  await browser.navigate(`${base}/no-launcher/index.html`);
  const line = await browser.waitFor(`/launcher\\.js/.test(
      document.getElementById("status").textContent) && document.getElementById("status").textContent`,
      30, "the line about launcher.js");
  ok = expect(`no-launcher: "${line}"`, true) && ok;
  if (nosniff) {  // every script served as text/plain with "nosniff"
    await browser.navigate(`${nosniff}/index.html`);
    const refused = await browser.waitFor(`/launcher\\.js/.test(document.getElementById("status")
        .textContent) && document.getElementById("status").textContent`, 30, "the nosniff line");
    ok = expect(`scripts as text, nosniff: "${refused}"`, true) && ok;
  }
  const damaged = await ready(browser, `${base}/damaged/index.html`);
  ok = expect(`damaged: "${damaged.status}"`, damaged.phase === "ready" && damaged.launch &&
              /^Ready\. /.test(damaged.status) && /assets\/rec\.png is missing/.test(damaged.status) &&
              /tunevox_11\.mp3 is cut short/.test(damaged.status)) && ok;
  // The soundtrack, cut at about 96 s, ends early: the wall clock goes on from there.
  await browser.click("#launch");
  await browser.waitFor(`velmora.frames > 0`, 60, "a frame");
  await browser.evaluate(`Module._velmora_seek(94)`);
  await browser.waitFor(`velmora.position > 99 || velmora.phase !== "playing"`, 30, "99 s");
  const past = await browser.evaluate(`({ p: velmora.position, phase: velmora.phase,
      audible: velmora.audible })`);
  ok = expect(`past the cut: ${past.phase} at ${past.p.toFixed(3)} s, sound ` +
              `${past.audible ? "on" : "off"}`, past.phase === "playing" && past.p < 110 &&
              !past.audible) && ok;
  await browser.navigate(`${base}/damaged/index.html`);
  await browser.waitFor(`velmora.phase === "ready"`, 90, "loading");
  // In a window 360 pixels high the status line is in view, nothing scrolls, Launch has the focus.
  const view = await browser.evaluate(`({ bottom: document.getElementById("status")
      .getBoundingClientRect().bottom, scroll: document.documentElement.scrollHeight,
      height: innerHeight, focus: document.activeElement.id })`);
  ok = expect(`status line bottom ${view.bottom}, page ${view.scroll} of ${view.height} px, ` +
              `focus on "${view.focus}"`, view.bottom <= view.height &&
              view.scroll <= view.height && view.focus === "launch") && ok;
  return ok;
}

async function chooseCustom(browser, size) {
  await browser.evaluate(`(() => { const r = document.getElementById("resolution");
      r.value = "custom"; r.dispatchEvent(new Event("change"));
      document.getElementById("custom").value = ${size};
      document.getElementById("status").textContent = ""; })()`);
}

async function sizes(browser, base) {
  let ok = true;
  await ready(browser, `${base}/site/index.html`);
  for (const [size, line] of [["'9000x100'", /^Cannot draw at 9000x100: the largest \w+ of this OpenGL is \d+/],
                              ["'99999x99999'", /^Cannot draw at 99999x99999: the largest/],
                              ["'1'.repeat(2000000)", /a size is WIDTHxHEIGHT/]]) {
    await chooseCustom(browser, size);
    await browser.click("#launch");
    await browser.waitFor(`velmora.phase === "ready" && /^Cannot/.test(
        document.getElementById("status").textContent)`, 30, `the refusal of ${size.slice(0, 20)}`);
    const page = await statusOf(browser);
    const shown = await browser.evaluate(`getComputedStyle(document.getElementById("launcher")).display`);
    ok = expect(`${size.slice(0, 20)}: "${page.status}"`, line.test(page.status) && page.launch &&
                shown === "block") && ok;
  }
  await chooseCustom(browser, "'640x360'");
  await browser.evaluate(`document.getElementById("custom").focus()`);
  for (const type of ["keyDown", "keyUp"]) {  // Enter in the field launches
    await browser.page("Input.dispatchKeyEvent",
                       { type, key: "Enter", code: "Enter", windowsVirtualKeyCode: 13 });
  }
  await browser.waitFor(`velmora.frames > 0 || velmora.phase === "ready"`, 60, "a frame");
  const drawn = await browser.evaluate(`[canvas.width, canvas.height, velmora.phase]`);
  ok = expect(`then 640x360: ${drawn.join(" ")}`, drawn[0] === 640 && drawn[2] === "playing") && ok;
  // "window size" at five device pixels a CSS pixel: 3200x1800 asked, capped by the WebGL.
  await browser.page("Emulation.setDeviceMetricsOverride",
                     { width: 1700, height: 900, deviceScaleFactor: 5, mobile: false });
  await ready(browser, `${base}/site/index.html`);
  const largest = await browser.evaluate(`(() => { const g = document.createElement("canvas")
      .getContext("webgl2"); return Math.min(g.getParameter(g.MAX_TEXTURE_SIZE),
      g.getParameter(g.MAX_RENDERBUFFER_SIZE)); })()`);
  await browser.click("#launch");
  await browser.waitFor(`velmora.frames > 0 || velmora.phase === "ready"`, 120, "a frame");
  const capped = await browser.evaluate(`[canvas.width, canvas.height, velmora.phase,
      document.getElementById("status").textContent]`);
  ok = expect(`window size 1700x900 at 5x: ${capped.join(" ")}`, capped[2] === "playing" &&
              Math.max(capped[0], capped[1]) <= largest &&
              Math.abs(capped[0] / capped[1] - 1700 / 900) < 0.01) && ok;
  return ok;
}

async function stills(browser, base) {
  let ok = true;
  for (const query of ["t=abc", "t=1&size=0x0", "t=1&size=9000x10", "t=1&size=" + "9".repeat(3000)]) {
    await browser.navigate(`${base}/site/index.html?still=1&${query}`);
    await browser.waitFor(`velmora.phase === "failed"`, 60, `the failure of ${query.slice(0, 20)}`);
    // The message is what a viewer sees at its place, not the stage over it.
    const seen = await browser.evaluate(`(() => { const m = document.getElementById("message");
        const r = m.getBoundingClientRect();
        return { text: m.textContent, top: document.elementFromPoint(r.x + r.width / 2,
                 r.y + r.height / 2) === m }; })()`);
    ok = expect(`${query.slice(0, 20)}: "${seen.text}"`, seen.top && /^Cannot draw/.test(seen.text)) && ok;
  }
  return ok;
}

async function launch(browser, base, size) {
  await ready(browser, `${base}/site/index.html`);
  await chooseCustom(browser, `'${size}'`);
  await browser.click("#launch");
  await browser.waitFor(`velmora.frames > 2 && velmora.position > 0.5`, 60, "frames");
}

async function brightness(browser) {
  const image = decodePng(await browser.screenshot(kWidth, kHeight));
  let sum = 0;
  for (let i = 0; i < image.rgba.length; ++i) sum += i % 4 === 3 ? 0 : image.rgba[i];
  return sum / (image.rgba.length * 0.75);
}

async function context(browser, base) {
  let ok = true;
  await launch(browser, base, "640x360");
  await browser.evaluate(`Module._velmora_seek(25)`);  // the tunnel: a bright picture
  await sleep(1000);
  const before = await brightness(browser);
  await browser.evaluate(`window.loser = canvas.getContext("webgl2").getExtension(
      "WEBGL_lose_context"); loser.loseContext()`);
  await browser.waitFor(`velmora.contextLost`, 10, "the loss");
  const lost = await browser.evaluate(`({ p: velmora.position, f: velmora.frames,
      text: document.getElementById("overlay").textContent })`);
  await sleep(1500);
  const held = await browser.evaluate(`({ p: velmora.position, f: velmora.frames })`);
  ok = expect(`lost: "${lost.text}"`, /graphics were lost/.test(lost.text) &&
              held.p === lost.p && held.f === lost.f, `frames ${lost.f} -> ${held.f}, ` +
              `position ${lost.p.toFixed(3)} -> ${held.p.toFixed(3)} s`) && ok;
  await browser.evaluate(`loser.restoreContext()`);
  await browser.waitFor(`velmora.restores === 1 && velmora.frames > ${held.f + 3}`, 60, "the restore");
  await sleep(500);
  const after = await browser.evaluate(`({ p: velmora.position, phase: velmora.phase,
      text: document.getElementById("overlay").textContent })`);
  const light = await brightness(browser);
  ok = expect(`restored at ${after.p.toFixed(3)} s (lost at ${lost.p.toFixed(3)} s), picture ` +
              `brightness ${light.toFixed(1)} (before the loss ${before.toFixed(1)})`,
              after.phase === "playing" && after.p >= lost.p && after.p < lost.p + 5 &&
              after.text === "" && light > 0.5 * before && before > 5) && ok;
  return ok;
}

async function controls(browser, base) {
  let ok = true;
  await launch(browser, base, "640x360");
  const key = (type, autoRepeat) => browser.page("Input.dispatchKeyEvent",
      { type, key: " ", code: "Space", windowsVirtualKeyCode: 32, text: type === "keyUp" ? "" : " ",
        autoRepeat });
  await key("keyDown", false);
  for (let i = 0; i < 5; ++i) await key("keyDown", true);
  await key("keyUp", false);
  const paused = await browser.evaluate(`velmora.position`);
  await sleep(1000);
  const stillPaused = await browser.evaluate(`velmora.position`);
  ok = expect(`held Space pauses once: ${paused.toFixed(3)} s, a second later ` +
              `${stillPaused.toFixed(3)} s`, stillPaused - paused < 0.01) && ok;
  await key("keyDown", false);
  await key("keyUp", false);
  // The first load of the soundtrack, from a server without range requests.
  await browser.evaluate(`Module._velmora_seek(190.5)`);
  const ended = await browser.waitFor(`velmora.phase === "ended" && velmora.position`, 20,
                                      "the end after seeking to 190.5 s");
  ok = expect(`seek to 190.5 s on a fresh load: ended by itself at ${ended.toFixed(3)} s`,
              ended > 191.46 && ended < 193) && ok;
  const page = await browser.evaluate(`(async () => ({ title: document.title,
      icon: (await fetch(document.querySelector("link[rel=icon]").href)).ok,
      log: velmora.log.length }))()`);
  const noisy = browser.console.filter((_, i) => ["log", "info"].includes(browser.consoleLevels[i]));
  ok = expect(`title "${page.title}", favicon ${page.icon ? "loads" : "MISSING"}, ${page.log} ` +
              `program lines kept in velmora.log, ${noisy.length} on the console`,
              page.title === "Velmora" && page.icon && page.log > 20 && noisy.length === 0) && ok;
  return ok;
}

const [check, base, nosniff] = process.argv.slice(2);
const checks = { files, sizes, stills, context, controls };
const browser = await Chromium.start(["--autoplay-policy=no-user-gesture-required"], kWidth, kHeight);
let ok = false;
try {
  if (checks[check]) ok = await checks[check](browser, base, nosniff);
  else console.log("usage: failure-check.mjs files|sizes|stills|context|controls BASE");
} catch (e) {
  console.log("   " + e.message);
}
if (!ok) console.log("   page console (last lines):\n     " + browser.console.slice(-12).join("\n     "));
await browser.close();
process.exit(ok ? 0 : 1);
