// The page of the browser build: the launcher, the loading of what the browser decodes itself
// (images, soundtrack) and of the program (velmora.js, velmora.wasm, velmora.data), and the bridge
// to the program.
//
// Query parameters:
//   ?t=T&still=1[&size=WxH]  load without sound and draw exactly one frame at T (seconds, or bars
//                            with a 'b' suffix, e.g. 18b), default size 640x360; velmora.stills
//                            then counts it once the browser has presented it. velmora.still(T)
//                            draws another.
// window.velmora holds the page's state for tests (the tab title is the viewer's): phase
// ("loading", "ready", "launching", "playing", "ended", "still", "failed"), frames, position
// (seconds), firstFrameMs (Launch to first frame), log (the program's lines), contextLost and
// restores (the WebGL context), longestStallMs (the longest main-thread task since Launch, or
// since the page opened before that).
// Every failure of a file the demo needs ends loading with one line naming it; a file the demo can
// do without (an image, the soundtrack) is named beside "Ready.".
"use strict";

(function () {
  const kImages = [@VELMORA_IMAGES@];
  const kSoundtrack = "@VELMORA_SOUNDTRACK@";
  const kSecondsPerBar = @VELMORA_BEATS_PER_BAR@ * 60 / @VELMORA_BEATS_PER_MINUTE@;

  // The longest size a person can mean ("99999x99999" and some spaces); anything longer is
  // refused before it reaches the program.
  const kMaxSizeText = 24;

  const query = new URLSearchParams(location.search);
  const still = query.get("still") === "1";
  const $ = (id) => document.getElementById(id);
  const status = $("status");
  const state = {
    phase: "loading", frames: 0, firstFrameMs: null, stills: 0, lastLine: "", log: [],
    contextLost: false, restores: 0, longestStallMs: 0,
    // The music position in seconds; it moves between frames too.
    get position() {
      const m = window.Module;
      return m && m._velmora_position_seconds ? m._velmora_position_seconds() : 0;
    },
    // Whether the sound plays (false once the program fell back to the wall clock).
    get audible() {
      const m = window.Module;
      return state.phase === "playing" && !!m._velmora_audible();
    },
  };
  window.velmora = state;
  if (window.PerformanceObserver && PerformanceObserver.supportedEntryTypes &&
      PerformanceObserver.supportedEntryTypes.includes("longtask")) {
    new PerformanceObserver((list) => {
      for (const task of list.getEntries())
        state.longestStallMs = Math.max(state.longestStallMs, task.duration);
    }).observe({ type: "longtask" });
  }

  // A failure stays: later progress does not overwrite it.
  function say(text, isError) {
    if (state.phase === "failed" && !isError) return;
    status.textContent = text;
    status.classList.toggle("error", !!isError);
    if (still) {
      $("message").textContent = text;
      $("message").style.display = "block";
    }
  }

  function fail(text) {
    if (state.phase === "failed") return;
    state.phase = "failed";
    $("launch").disabled = true;
    say(text, true);
  }

  // "Cannot launch: <why>", where the program's line does not say "Cannot ..." itself.
  function because(what, line) {
    return /^Cannot /.test(line) ? line : what + ": " + (line || "see the console");
  }

  // A line over the picture (inside the stage, so that it shows in full screen too).
  function overlay(text) {
    $("overlay").textContent = text;
    $("overlay").hidden = !text;
  }

  // Seconds, or bars with a 'b' suffix, in the programs' own grammar (app/CommandLine.h): an
  // unsigned decimal, nothing around it; NaN otherwise.
  function parseTime(text) {
    const m = /^((?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][-+]?[0-9]+)?)(b?)$/.exec(text || "");
    if (!m) return NaN;
    return m[2] ? parseFloat(m[1]) * kSecondsPerBar : parseFloat(m[1]);
  }

  // ---- Images: straight (not premultiplied) RGBA, top row first, colour profiles applied.
  // A 2D canvas would premultiply alpha and lose the colour of faint pixels, so the pixels go
  // through a WebGL 2 texture and come back with readPixels exactly as decoded.
  function straightPixels(gl, bitmap) {
    const texture = gl.createTexture();
    gl.bindTexture(gl.TEXTURE_2D, texture);
    gl.pixelStorei(gl.UNPACK_FLIP_Y_WEBGL, false);
    gl.pixelStorei(gl.UNPACK_PREMULTIPLY_ALPHA_WEBGL, false);
    gl.pixelStorei(gl.UNPACK_COLORSPACE_CONVERSION_WEBGL, gl.NONE);
    gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA8, gl.RGBA, gl.UNSIGNED_BYTE, bitmap);
    const framebuffer = gl.createFramebuffer();
    gl.bindFramebuffer(gl.FRAMEBUFFER, framebuffer);
    gl.framebufferTexture2D(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.TEXTURE_2D, texture, 0);
    const pixels = new Uint8Array(bitmap.width * bitmap.height * 4);
    // Row 0 of the texture is the image's top row, and readPixels starts at row 0.
    gl.readPixels(0, 0, bitmap.width, bitmap.height, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
    gl.bindFramebuffer(gl.FRAMEBUFFER, null);
    gl.deleteFramebuffer(framebuffer);
    gl.deleteTexture(texture);
    return pixels;
  }

  // The response for `path`, or an error whose message names the file and what is wrong.
  async function fetchFile(path) {
    let response;
    try {
      response = await fetch(path);
    } catch (e) {
      throw new Error(path + " cannot be fetched (" + e.message + ")");
    }
    if (!response.ok) throw new Error(path + " is missing (HTTP " + response.status + ")");
    return response;
  }

  async function decodeImage(gl, path) {
    const blob = await (await fetchFile(path)).blob();
    let bitmap;
    try {
      bitmap = await createImageBitmap(blob, {
        premultiplyAlpha: "none", colorSpaceConversion: "default", imageOrientation: "none" });
    } catch (e) {
      throw new Error(path + " is damaged (the browser cannot decode it)");
    }
    const image = { width: bitmap.width, height: bitmap.height,
                    pixels: straightPixels(gl, bitmap) };
    bitmap.close();
    return image;
  }

  // For the decoder check: any image the page can fetch, decoded as the program's are.
  state.decodeImage = (path) => decodeImage(document.createElement("canvas").getContext("webgl2"),
                                            path);

  // Images that fail are left out (the program then says "Unable to load texture ...") and named
  // in `problems`.
  async function decodeImages(images, problems, progress) {
    const gl = document.createElement("canvas").getContext("webgl2");
    let done = 0;
    for (const path of kImages) {
      try {
        images.set(path, await decodeImage(gl, path));
      } catch (e) {
        problems.push(e.message);
      }
      progress(++done, kImages.length);
    }
    const lose = gl.getExtension("WEBGL_lose_context");
    if (lose) lose.loseContext();
  }

  // ---- Soundtrack: held in memory (a blob URL), so that seeking never depends on the server
  // answering range requests; an <audio> element plays it, the program reads its clock.

  // The byte count the MP3's Xing/Info frame promises, or 0 when it has none.
  function promisedBytes(head) {
    for (let i = 0; i + 16 <= head.length; ++i) {
      const tag = String.fromCharCode(head[i], head[i + 1], head[i + 2], head[i + 3]);
      if (tag !== "Xing" && tag !== "Info") continue;
      const flags = head[i + 7];
      const at = i + 8 + (flags & 1 ? 4 : 0);
      return flags & 2 ? ((head[at] << 24) >>> 0) + (head[at + 1] << 16) + (head[at + 2] << 8) +
                         head[at + 3] : 0;
    }
    return 0;
  }

  async function openSoundtrack(audio, problems) {
    try {
      const blob = await (await fetchFile(kSoundtrack)).blob();
      const promised = promisedBytes(new Uint8Array(await blob.slice(0, 4096).arrayBuffer()));
      if (promised > blob.size) {
        problems.push(kSoundtrack + " is cut short (" + blob.size + " of " + promised +
                      " bytes; the picture goes on without it past its end)");
      }
      const element = new Audio();
      element.preload = "auto";
      await new Promise((resolve, reject) => {
        element.addEventListener("loadedmetadata", resolve, { once: true });
        element.addEventListener("error", () => reject(new Error(
            kSoundtrack + " is damaged (the browser cannot decode it)")), { once: true });
        element.src = URL.createObjectURL(blob);
      });
      element.addEventListener("error", () => {
        audio.failed = "the browser cannot play it past " + element.currentTime.toFixed(1) + " s";
      });
      // How far it has played, by the wall clock since it last started or jumped: a file cut
      // short ends early, and the element then reports its stated end as the time.
      let from = [0, performance.now()];
      const mark = () => { from = [element.currentTime, performance.now()]; };
      element.addEventListener("playing", mark);
      element.addEventListener("seeked", mark);
      audio.heard = () => from[0] + (performance.now() - from[1]) / 1000;
      audio.element = element;
    } catch (e) {
      audio.failed = e.message;
      problems.push(e.message);
    }
  }

  // ---- The program: velmora.wasm and velmora.data are fetched here, so that a missing or
  // damaged one is named; velmora.js then runs from them.
  async function fetchProgram(Module) {
    const wasm = await (await fetchFile("velmora.wasm")).arrayBuffer();
    try {
      await WebAssembly.compile(wasm);
    } catch (e) {
      throw new Error("velmora.wasm is damaged (" + e.message + ")");
    }
    Module.wasmBinary = wasm;
    const data = await (await fetchFile("velmora.data")).arrayBuffer();
    // velmora.js asks for it with the size it was built with.
    Module.getPreloadedPackage = (name, size) => {
      if (data.byteLength === size) return data;
      fail("Cannot start: velmora.data is cut short (" + data.byteLength + " of " + size +
           " bytes).");
      throw new Error("velmora.data is cut short");
    };
  }

  function loadProgram(Module) {
    return new Promise((resolve, reject) => {
      Module.onRuntimeInitialized = resolve;
      Module.onAbort = (what) => {
        fail("The program stopped: " + what);
        reject(new Error("the program stopped: " + what));
      };
      const script = document.createElement("script");
      script.src = "velmora.js";
      script.onerror = () => reject(new Error(
          "velmora.js is missing or not served as JavaScript"));
      document.body.appendChild(script);
    });
  }

  // The drawing buffer for "window size": device pixels, scaled down (aspect kept) to the
  // largest picture this WebGL can hold.
  function windowSize(fullscreen, largest) {
    const ratio = window.devicePixelRatio || 1;
    let w = Math.round((fullscreen ? screen.width : window.innerWidth) * ratio);
    let h = Math.round((fullscreen ? screen.height : window.innerHeight) * ratio);
    const scale = Math.min(1, largest / Math.max(w, h));
    w = Math.max(1, Math.floor(w * scale));
    h = Math.max(1, Math.floor(h * scale));
    return w + "x" + h;
  }

  let largestSide = 4096;

  async function main() {
    const probe = document.createElement("canvas").getContext("webgl2");
    if (!probe) {
      fail("This browser offers no WebGL 2, which Velmora needs to draw. Try a current " +
           "Firefox, Chrome or Safari with hardware acceleration enabled.");
      return;
    }
    const viewport = probe.getParameter(probe.MAX_VIEWPORT_DIMS);
    largestSide = Math.min(probe.getParameter(probe.MAX_TEXTURE_SIZE),
                           probe.getParameter(probe.MAX_RENDERBUFFER_SIZE),
                           viewport[0], viewport[1]);
    const lose = probe.getExtension("WEBGL_lose_context");
    if (lose) lose.loseContext();

    const Module = {
      canvas: $("canvas"),
      // The program's lines: kept in velmora.log, and on the console's verbose level only.
      print: (line) => {
        console.debug(line);
        state.log.push(line);
        state.lastLine = line;
      },
      printErr: (line) => console.warn(line),
      velmoraImages: new Map(),
      velmoraAudio: { element: null, failed: "" },
      velmoraPreserve: still,
      velmoraFrame: (frames) => {
        state.frames = frames;
        if (state.firstFrameMs === null && state.launchedAt !== undefined)
          state.firstFrameMs = performance.now() - state.launchedAt;
      },
      velmoraEnded: () => {
        state.phase = "ended";
        $("stage").style.display = "none";
        $("message").textContent = "The end. Reload the page to watch again.";
        $("message").style.display = "block";
      },
    };
    window.Module = Module;

    const problems = [];
    let images = 0;
    const progress = () => say("Loading: images " + images + "/" + kImages.length +
                               (still ? "" : ", soundtrack") + ", program");
    const waits = [
      fetchProgram(Module).then(() => loadProgram(Module)),
      decodeImages(Module.velmoraImages, problems, (n) => { images = n; progress(); }),
    ];
    if (!still) waits.push(openSoundtrack(Module.velmoraAudio, problems));
    progress();
    try {
      await Promise.all(waits);
    } catch (e) {
      fail("Cannot start: " + e.message + ".");
      return;
    }
    if (state.phase === "failed") return;

    if (still) {
      showStills(Module, problems);
      return;
    }
    state.phase = "ready";
    say(problems.length ? "Ready. Missing: " + problems.join("; ") + "." : "Ready.");
    $("launch").disabled = false;
    $("launch").focus();
  }

  async function showStills(Module, problems) {
    document.body.classList.add("still");
    const size = query.get("size") || "640x360";
    if (size.length > kMaxSizeText || !/^[0-9]+x[0-9]+$/.test(size)) {
      fail("Cannot draw: a size is WIDTHxHEIGHT in whole numbers, such as 640x360");
      return;
    }
    if (!await Module.ccall("velmora_launch_still", "number", ["string"], [size],
                            { async: true })) {
      fail(because("Cannot draw", state.lastLine));
      return;
    }
    state.phase = "still";
    if (problems.length) console.warn("velmora: missing " + problems.join("; "));
    // One frame per call; counted once the browser has presented it.
    state.still = (time) => {
      const seconds = typeof time === "number" ? time : parseTime(String(time));
      if (!(seconds >= 0) || !Module._velmora_still(seconds)) {
        say("Cannot draw: \"" + String(time).slice(0, 40) + "\" is not a time (seconds, or bars " +
            "with a b suffix, e.g. 18b)", true);
        return false;
      }
      const drawn = ++state.drawnStills;
      requestAnimationFrame(() => requestAnimationFrame(() => { state.stills = drawn; }));
      return true;
    };
    state.drawnStills = 0;
    if (!state.still(query.get("t") || "0")) state.phase = "failed";
  }

  // Browsers start sound only in a click; the element started and stopped here may play later.
  function unlockSound(audio) {
    if (!audio.element) return;
    audio.element.play().catch(() => {});
    audio.element.pause();
  }

  async function launch() {
    if (state.phase !== "ready") return;
    const choice = $("resolution").value;
    const fullscreen = $("fullscreen").checked;
    const size = choice === "window" ? windowSize(fullscreen, largestSide)
               : choice === "custom" ? $("custom").value.trim() : choice;
    if (size.length > kMaxSizeText) {
      say("Cannot launch: a size is WIDTHxHEIGHT, such as 800x600", true);
      return;
    }
    state.phase = "launching";
    state.launchedAt = performance.now();
    state.longestStallMs = 0;
    $("launch").disabled = true;
    say("Launching…");
    $("launcher").style.display = "none";
    $("stage").style.display = "block";
    overlay("Launching…");
    unlockSound(window.Module.velmoraAudio);
    // Inside the click up to the program's first turn: full screen needs this user gesture. The
    // load phase then runs across several turns of the browser.
    state.lastLine = "";
    const launched = await window.Module.ccall("velmora_launch", "number", ["string", "number"],
                                               [size, fullscreen ? 1 : 0], { async: true });
    overlay("");
    if (!launched) {
      $("stage").style.display = "none";
      $("launcher").style.display = "block";
      state.phase = "ready";
      $("launch").disabled = false;
      say(because("Cannot launch", state.lastLine), true);
      $("launch").focus();
      return;
    }
    if (state.phase === "launching") state.phase = "playing";
    $("canvas").focus();
  }

  // A lost WebGL context (a GPU reset, too many tabs): the demo stops and waits; when the context
  // comes back the program loads again and goes on from where it stopped.
  $("canvas").addEventListener("webglcontextlost", (e) => {
    e.preventDefault();  // asks the browser to give the context back
    state.contextLost = true;
    if (!window.Module || !window.Module._velmora_context_lost) return;
    window.Module._velmora_context_lost();
    overlay("The graphics were lost (the browser or the graphics card reset them); the demo " +
            "waits for them to come back.");
  });
  $("canvas").addEventListener("webglcontextrestored", async () => {
    overlay("The graphics are back: loading again…");
    await window.Module.ccall("velmora_context_restored", "number", [], [], { async: true });
    state.contextLost = false;
    state.restores += 1;
    overlay("");
  });

  $("resolution").addEventListener("change", () => {
    $("custom").hidden = $("resolution").value !== "custom";
    if (!$("custom").hidden) $("custom").focus();
  });
  $("custom").addEventListener("keydown", (e) => {
    if (e.key === "Enter") { e.preventDefault(); launch(); }
  });
  $("launch").addEventListener("click", launch);
  $("nolaunch").addEventListener("click", () => {
    state.phase = "ended";
    $("launcher").style.display = "none";
    $("message").textContent = "Not launched.";
    $("message").style.display = "block";
  });
  document.addEventListener("keydown", (e) => {
    if (state.phase !== "playing" || e.key !== " ") return;
    e.preventDefault();
    if (!e.repeat) window.Module._velmora_toggle_pause();  // holding Space toggles once
  });

  main();
})();
