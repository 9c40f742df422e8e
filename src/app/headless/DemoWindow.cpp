// Headless front end: an EGL pbuffer of width x height is the default framebuffer.
//
// Implemented: the 3.3 core context on Mesa's surfaceless platform, or on the first EGL device
// when surfaceless is missing (GPU drivers); `pump` presents and ends when
// `endRequested` is set; the frame just drawn stays readable until the next one.
// Not here: input (there is no window, so no keys, buttons or Escape), full screen.
#include "app/DemoWindow.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>

struct DemoWindow::Platform {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
};

namespace {

EGLDisplay openDisplay() {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) return eglGetDisplay(EGL_DEFAULT_DISPLAY);

    EGLDisplay display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr)) return display;

    auto queryDevices =
        reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    EGLDeviceEXT device;
    EGLint count = 0;
    if (queryDevices && queryDevices(1, &device, &count) && count > 0) {
        display = getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, device, nullptr);
        if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr)) return display;
    }
    return EGL_NO_DISPLAY;
}

void* lookUp(const char* name) {
    return reinterpret_cast<void*>(eglGetProcAddress(name));
}

}  // namespace

DemoWindow::DemoWindow() : platform_(new Platform) {}

DemoWindow::~DemoWindow() {
    shutdown();
    delete platform_;
}

bool DemoWindow::create(int w, int h, bool) {
    width = w;
    height = h;
    endRequested = 0;
    Platform& p = *platform_;

    p.display = openDisplay();
    if (p.display == EGL_NO_DISPLAY) {
        std::printf("No EGL display: neither the surfaceless platform nor an EGL device works\n");
        return false;
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_DEPTH_SIZE,
                                       24,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_NONE};
    EGLConfig config;
    EGLint count = 0;
    if (!eglChooseConfig(p.display, configAttributes, &config, 1, &count) || count == 0) {
        std::printf("No EGL config with RGB888, 24-bit depth, pbuffer and desktop OpenGL\n");
        return false;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, w, EGL_HEIGHT, h, EGL_NONE};
    p.surface = eglCreatePbufferSurface(p.display, config, surfaceAttributes);
    if (p.surface == EGL_NO_SURFACE) {
        std::printf("Cannot create a %dx%d EGL pbuffer\n", w, h);
        return false;
    }
    eglBindAPI(EGL_OPENGL_API);
    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                        3,
                                        EGL_CONTEXT_MINOR_VERSION,
                                        3,
                                        EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                        EGL_NONE};
    p.context = eglCreateContext(p.display, config, EGL_NO_CONTEXT, contextAttributes);
    if (p.context == EGL_NO_CONTEXT ||
        !eglMakeCurrent(p.display, p.surface, p.surface, p.context)) {
        std::printf("No OpenGL 3.3 core context from EGL\n");
        return false;
    }

    resolveGlEntryTable(lookUp);
    if (const char* missing = firstMissingGlEntry()) {
        std::printf("The OpenGL driver does not provide %s\n", missing);
        return false;
    }
    gl.glViewport(0, 0, w, h);
    return true;
}

bool DemoWindow::pump() {
    eglSwapBuffers(platform_->display, platform_->surface);
    return !endRequested;
}

void DemoWindow::shutdown() {
    Platform& p = *platform_;
    if (p.display == EGL_NO_DISPLAY) return;
    eglMakeCurrent(p.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (p.context != EGL_NO_CONTEXT) eglDestroyContext(p.display, p.context);
    if (p.surface != EGL_NO_SURFACE) eglDestroySurface(p.display, p.surface);
    eglTerminate(p.display);
    p = Platform{};
}

void DemoWindow::reportUnusableAssets(const std::vector<std::string>&) {}
