// Headless Chromium driven over the DevTools protocol on a pipe (--remote-debugging-pipe: commands
// on fd 3, replies on fd 4, each message a JSON text ended by a NUL byte), so the checks need no
// package beyond Debian's chromium and node.
import { spawn } from "node:child_process";
import { mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";

// The flags this machine needs: software WebGL 2, no sandbox as root, and none of the background
// connections a closed network refuses.
const kFlags = [
  "--headless=new", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
  "--disable-quic", "--no-first-run", "--no-default-browser-check",
  "--disable-background-networking", "--disable-component-update", "--disable-sync",
  "--disable-features=Translate,MediaRouter", "--hide-scrollbars", "--remote-debugging-pipe",
];

export class Chromium {
  static async start(extraFlags = [], width = 640, height = 360) {
    const profile = mkdtempSync(join(tmpdir(), "velmora-chromium-"));
    const args = [...kFlags, ...extraFlags, `--user-data-dir=${profile}`,
                  `--window-size=${width},${height}`, "about:blank"];
    const child = spawn(process.env.CHROMIUM || "chromium", args,
                        { stdio: ["ignore", "ignore", "pipe", "pipe", "pipe"], detached: true });
    const browser = new Chromium(child, profile);
    child.stderr.on("data", (d) => { browser.stderr += d; });
    const { targetInfos } = await browser.send("Target.getTargets");
    const page = targetInfos.find((t) => t.type === "page");
    const { sessionId } = await browser.send("Target.attachToTarget",
                                             { targetId: page.targetId, flatten: true });
    browser.session = sessionId;
    await browser.page("Page.enable");
    await browser.page("Runtime.enable");
    await browser.page("Emulation.setDeviceMetricsOverride",
                       { width, height, deviceScaleFactor: 1, mobile: false });
    return browser;
  }

  constructor(child, profile) {
    this.child = child;
    this.profile = profile;
    this.stderr = "";
    this.next = 1;
    this.waiting = new Map();
    this.console = [];
    this.consoleLevels = [];  // "log", "debug", "warning", ... for each console line
    let buffered = Buffer.alloc(0);
    child.stdio[4].on("data", (chunk) => {
      buffered = Buffer.concat([buffered, chunk]);
      for (let end = buffered.indexOf(0); end >= 0; end = buffered.indexOf(0)) {
        this.receive(JSON.parse(buffered.subarray(0, end).toString()));
        buffered = buffered.subarray(end + 1);
      }
    });
    this.exited = new Promise((resolve) => child.on("exit", resolve));
    this.exited.then(() => {
      for (const { reject } of this.waiting.values())
        reject(new Error("chromium exited: " + this.stderr.slice(-2000)));
    });
  }

  receive(message) {
    if (message.id && this.waiting.has(message.id)) {
      const { resolve, reject } = this.waiting.get(message.id);
      this.waiting.delete(message.id);
      if (message.error) reject(new Error(JSON.stringify(message.error)));
      else resolve(message.result);
    } else if (message.method === "Runtime.consoleAPICalled") {
      this.console.push(message.params.args.map((a) => a.value ?? a.description).join(" "));
      this.consoleLevels.push(message.params.type);
    } else if (message.method === "Runtime.exceptionThrown") {
      this.consoleLevels.push("exception");
      this.console.push("exception: " + message.params.exceptionDetails.text + " " +
                        (message.params.exceptionDetails.exception?.description ?? ""));
    }
  }

  send(method, params = {}, sessionId = undefined) {
    const id = this.next++;
    const message = { id, method, params };
    if (sessionId) message.sessionId = sessionId;
    return new Promise((resolve, reject) => {
      this.waiting.set(id, { resolve, reject });
      this.child.stdio[3].write(JSON.stringify(message) + "\0");
    });
  }

  page(method, params = {}) {
    return this.send(method, params, this.session);
  }

  async evaluate(expression) {
    const { result, exceptionDetails } =
        await this.page("Runtime.evaluate", { expression, returnByValue: true, awaitPromise: true });
    if (exceptionDetails) throw new Error(expression + ": " + exceptionDetails.text);
    return result.value;
  }

  // Polls `expression` until it is truthy; throws after `seconds`.
  async waitFor(expression, seconds, what) {
    const end = Date.now() + seconds * 1000;
    for (;;) {
      // Until the page has set itself up, its names may not exist yet.
      const value = await this.evaluate(`(() => { try { return ${expression}; }
                                                  catch (e) { return false; } })()`);
      if (value) return value;
      if (Date.now() > end) {
        throw new Error(`timed out after ${seconds} s waiting for ${what || expression}; ` +
                        `console:\n  ${this.console.slice(-15).join("\n  ")}`);
      }
      await new Promise((r) => setTimeout(r, 100));
    }
  }

  async navigate(url) {
    await this.page("Page.navigate", { url });
  }

  async screenshot(width, height) {
    const { data } = await this.page("Page.captureScreenshot",
        { format: "png", clip: { x: 0, y: 0, width, height, scale: 1 } });
    return Buffer.from(data, "base64");
  }

  // A real click (a user gesture for the page) at the middle of the element `selector`.
  async click(selector) {
    const box = await this.evaluate(`(() => { const r = document.querySelector(${
        JSON.stringify(selector)}).getBoundingClientRect();
        return { x: r.x + r.width / 2, y: r.y + r.height / 2 }; })()`);
    for (const type of ["mousePressed", "mouseReleased"]) {
      await this.page("Input.dispatchMouseEvent",
                      { type, x: box.x, y: box.y, button: "left", clickCount: 1 });
    }
  }

  async close() {
    try {
      await Promise.race([this.send("Browser.close"), new Promise((r) => setTimeout(r, 3000))]);
    } catch (e) { /* already gone */ }
    if (this.child.exitCode === null) this.child.kill("SIGKILL");
    await this.exited;
    // Its own process group (detached): the helpers it started go with it.
    try { process.kill(-this.child.pid, "SIGKILL"); } catch (e) { /* all gone already */ }
    // Its helper processes may still be writing there for a moment.
    try {
      rmSync(this.profile, { recursive: true, force: true, maxRetries: 10, retryDelay: 200 });
    } catch (e) {
      console.log(`   (left ${this.profile} behind: ${e.code})`);
    }
  }
}
