// The page of the browser build: the launcher, the loading of what the browser decodes itself
// (images, soundtrack), and the bridge to the program (velmora.js / velmora.wasm).
//
// Query parameters:
//   ?t=T&still=1[&size=WxH]  load without sound and draw exactly one frame at T (seconds, or bars
//                            with a 'b' suffix, e.g. 18b), default size 640x360; the title then
//                            reads "velmora: still done". window.velmora.still(T) draws another.
// window.velmora holds the page's state for tests: phase ("loading", "ready", "playing",
// "ended", "still", "failed"), frames, position (seconds), firstFrameMs (Launch to first frame).
"use strict";

(function () {
  const kImages = [@VELMORA_IMAGES@];
  const kSoundtrack = "assets/tunevox_11.mp3";
  const kSecondsPerBar = 4 * 60 / 178;  // 178 BPM, four beats a bar

  const query = new URLSearchParams(location.search);
  const still = query.get("still") === "1";
  const $ = (id) => document.getElementById(id);
  const status = $("status");
  const state = {
    phase: "loading", frames: 0, firstFrameMs: null, stills: 0, lastLine: "",
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

  function say(text, isError) {
    status.textContent = text;
    status.classList.toggle("error", !!isError);
    if (still) {
      $("message").textContent = text;
      $("message").style.display = "block";
    }
  }

  function fail(text) {
    state.phase = "failed";
    document.title = "velmora: failed";
    $("launch").disabled = true;
    say(text, true);
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

  async function decodeImage(gl, path) {
    const response = await fetch(path);
    if (!response.ok) throw new Error("HTTP " + response.status);
    const bitmap = await createImageBitmap(await response.blob(), {
      premultiplyAlpha: "none", colorSpaceConversion: "default", imageOrientation: "none" });
    const image = { width: bitmap.width, height: bitmap.height,
                    pixels: straightPixels(gl, bitmap) };
    bitmap.close();
    return image;
  }

  // For the decoder check: any image the page can fetch, decoded as the program's are.
  state.decodeImage = (path) => decodeImage(document.createElement("canvas").getContext("webgl2"),
                                            path);

  async function decodeImages(images, progress) {
    const gl = document.createElement("canvas").getContext("webgl2");
    let done = 0;
    for (const path of kImages) {
      try {
        images.set(path, await decodeImage(gl, path));
      } catch (e) {
        // The program reports the missing texture itself ("Unable to load texture ...").
        console.warn("velmora: cannot decode " + path + ": " + e.message);
      }
      progress(++done, kImages.length);
    }
    const lose = gl.getExtension("WEBGL_lose_context");
    if (lose) lose.loseContext();
  }

  // ---- Soundtrack: an <audio> element; the program reads its clock and drives it.
  function openSoundtrack(audio) {
    return new Promise((resolve) => {
      const element = new Audio();
      element.preload = "auto";
      element.addEventListener("loadedmetadata", () => resolve(), { once: true });
      element.addEventListener("error", () => {
        audio.failed = "the browser cannot load or decode it";
        resolve();
      });
      element.src = kSoundtrack;
      audio.element = element;
    });
  }

  // ---- The program.
  function loadProgram(Module) {
    return new Promise((resolve, reject) => {
      Module.onRuntimeInitialized = resolve;
      Module.onAbort = (what) => fail("The program stopped: " + what);
      const script = document.createElement("script");
      script.src = "velmora.js";
      script.onerror = () => reject(new Error("cannot load velmora.js"));
      document.body.appendChild(script);
    });
  }

  function windowSize(fullscreen) {
    const ratio = window.devicePixelRatio || 1;
    const w = fullscreen ? screen.width : window.innerWidth;
    const h = fullscreen ? screen.height : window.innerHeight;
    return Math.round(w * ratio) + "x" + Math.round(h * ratio);
  }

  async function main() {
    const probe = document.createElement("canvas").getContext("webgl2");
    if (!probe) {
      fail("This browser offers no WebGL 2, which Velmora needs to draw. Try a current " +
           "Firefox, Chrome or Safari with hardware acceleration enabled.");
      return;
    }
    const lose = probe.getExtension("WEBGL_lose_context");
    if (lose) lose.loseContext();

    const Module = {
      canvas: $("canvas"),
      // The load phase's lines go to the console, the last one also to the loading line.
      print: (line) => {
        console.log(line);
        state.lastLine = line;
        if (state.phase === "loading") say(line);
      },
      printErr: (line) => console.warn(line),
      velmoraImages: new Map(),
      velmoraAudio: { element: null, failed: "" },
      velmoraPreserve: still,
      velmoraFrame: (frames) => {
        state.frames = frames;
        if (state.firstFrameMs === null && state.launchedAt !== undefined) {
          state.firstFrameMs = performance.now() - state.launchedAt;
          console.log("velmora: first frame " + state.firstFrameMs.toFixed(0) + " ms after Launch");
        }
      },
      velmoraEnded: () => {
        state.phase = "ended";
        document.title = "velmora: ended";
        $("stage").style.display = "none";
        $("message").textContent = "The end. Reload the page to watch again.";
        $("message").style.display = "block";
      },
    };
    window.Module = Module;

    let images = 0;
    const progress = () => say("Loading: images " + images + "/" + kImages.length +
                               (still ? "" : ", soundtrack") + ", program");
    const waits = [
      loadProgram(Module),
      decodeImages(Module.velmoraImages, (n) => { images = n; progress(); }),
    ];
    if (!still) waits.push(openSoundtrack(Module.velmoraAudio));
    progress();
    try {
      await Promise.all(waits);
    } catch (e) {
      fail("Cannot load the program: " + e.message);
      return;
    }
    if (state.phase === "failed") return;

    if (still) {
      showStills(Module);
      return;
    }
    state.phase = "ready";
    document.title = "Velmora";
    say(Module.velmoraAudio.failed ? "Ready (no sound: " + Module.velmoraAudio.failed + ")."
                                   : "Ready.");
    $("launch").disabled = false;
  }

  function showStills(Module) {
    document.body.classList.add("still");
    const size = query.get("size") || "640x360";
    if (!/^[0-9]+x[0-9]+$/.test(size)) {
      fail("Bad size " + size + ": WIDTHxHEIGHT in whole numbers");
      return;
    }
    if (!Module.ccall("velmora_launch_still", "number", ["string"], [size])) {
      fail("Cannot draw: see the console");
      return;
    }
    state.phase = "still";
    // One frame per call; done once the browser has presented it.
    state.still = (time) => {
      const seconds = typeof time === "number" ? time : parseTime(String(time));
      if (!(seconds >= 0) || !Module._velmora_still(seconds)) {
        document.title = "velmora: bad time " + time;
        return false;
      }
      state.stills += 1;
      document.title = "velmora: drawing";
      requestAnimationFrame(() => requestAnimationFrame(() => {
        document.title = "velmora: still done";
      }));
      return true;
    };
    state.still(query.get("t") || "0");
  }

  function launch() {
    const choice = $("resolution").value;
    const fullscreen = $("fullscreen").checked;
    const size = choice === "window" ? windowSize(fullscreen)
               : choice === "custom" ? $("custom").value.trim() : choice;
    state.launchedAt = performance.now();
    $("launcher").style.display = "none";
    $("stage").style.display = "block";
    // Inside the click: full screen and sound need this user gesture.
    if (!window.Module.ccall("velmora_launch", "number", ["string", "number"],
                             [size, fullscreen ? 1 : 0])) {
      $("stage").style.display = "none";
      $("launcher").style.display = "block";
      say("Cannot launch: " + (state.lastLine || "see the console"), true);
      return;
    }
    state.phase = "playing";
    document.title = "Velmora";
    $("canvas").focus();
  }

  $("resolution").addEventListener("change", () => {
    $("custom").hidden = $("resolution").value !== "custom";
    if (!$("custom").hidden) $("custom").focus();
  });
  $("launch").addEventListener("click", launch);
  $("nolaunch").addEventListener("click", () => {
    state.phase = "ended";
    $("launcher").style.display = "none";
    $("message").textContent = "Not launched.";
    $("message").style.display = "block";
  });
  document.addEventListener("keydown", (e) => {
    if (state.phase !== "playing") return;
    if (e.key === " ") { window.Module._velmora_toggle_pause(); e.preventDefault(); }
  });

  main();
})();
