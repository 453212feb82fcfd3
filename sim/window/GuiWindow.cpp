#include "sim/window/GuiWindow.h"

#include <SDL.h>
#include <SDL_opengl.h>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include <algorithm>
#include <stdexcept>
#include <vector>

#include <fmt/format.h>

#include "imgui.h"
#include "imgui_impl_opengl3.h"
#include "imgui_impl_sdl.h"
#include "sim/guihost/GuiHost.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace sim {

namespace {

// The display's libraries (D-Bus, the OpenGL driver) keep some allocations for the life of the
// process, and the driver is unloaded before the leak check, so the check cannot even name
// them. They are not the simulator's to free; under LeakSanitizer they are left out.
class DisplayLibraryAllocations {
public:
#if defined(__SANITIZE_ADDRESS__)
    DisplayLibraryAllocations() { __lsan_disable(); }
    ~DisplayLibraryAllocations() { __lsan_enable(); }
#else
    DisplayLibraryAllocations() {}  // user-provided, so that a guard object is not "unused"
#endif
    DisplayLibraryAllocations(const DisplayLibraryAllocations&) = delete;
    DisplayLibraryAllocations& operator=(const DisplayLibraryAllocations&) = delete;
};

// OpenGL counts rows from the bottom; the picture is opaque whatever blending left in alpha.
bool SavePng(const std::string& path, int screenHeight, const PictureArea& area) {
    const int width = area.w, height = area.h;
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(area.x, screenHeight - area.y - height, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    std::vector<unsigned char> image(pixels.size());
    const size_t row = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y) std::copy_n(&pixels[(height - 1 - y) * row], row, &image[y * row]);
    for (size_t i = 3; i < image.size(); i += 4) image[i] = 255;
    return stbi_write_png(path.c_str(), width, height, 4, image.data(), static_cast<int>(row)) != 0;
}

class SdlGlWindow : public GuiSurface {
public:
    explicit SdlGlWindow(const GuiHostOptions& options) {
        DisplayLibraryAllocations outsideLeakCheck;
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            throw std::runtime_error(
                fmt::format("cannot start SDL video (is there a display? try xvfb-run -a): {}", SDL_GetError()));
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, 0);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
        const Uint32 flags =
            SDL_WINDOW_OPENGL | (options.visible ? SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE : SDL_WINDOW_HIDDEN);
        window = SDL_CreateWindow("vistorb-host", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, options.layout.width,
                                  options.layout.height, flags);
        if (!window) {
            const std::string reason = SDL_GetError();
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            throw std::runtime_error(
                fmt::format("cannot open a window (is there a display? try xvfb-run -a): {}", reason));
        }
        glContext = SDL_GL_CreateContext(window);
        if (!glContext) {
            const std::string reason = SDL_GetError();
            SDL_DestroyWindow(window);
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            throw std::runtime_error(fmt::format("cannot get an OpenGL 3.0 context: {}", reason));
        }
        SDL_GL_MakeCurrent(window, glContext);
        SDL_GL_SetSwapInterval(options.visible ? 1 : 0);
        // The SDL backend maps keys to its scan codes; scripted key presses follow its map.
        ImGui_ImplSDL2_InitForOpenGL(window, glContext);
        ImGui_ImplOpenGL3_Init("#version 130");
    }

    ~SdlGlWindow() override {
        DisplayLibraryAllocations outsideLeakCheck;
        ImGui_ImplOpenGL3_Shutdown();
        ImGui_ImplSDL2_Shutdown();
        SDL_GL_DeleteContext(glContext);
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        // The last user of SDL lets go of everything SDL started for it (its D-Bus connection too).
        if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
    }

    SdlGlWindow(const SdlGlWindow&) = delete;
    SdlGlWindow& operator=(const SdlGlWindow&) = delete;

    bool BeginFrame(bool live) override {
        DisplayLibraryAllocations outsideLeakCheck;
        bool closed = false;
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT ||
                (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE))
                closed = true;
            if (live) ImGui_ImplSDL2_ProcessEvent(&event);
        }
        ImGui_ImplOpenGL3_NewFrame();
        if (live) ImGui_ImplSDL2_NewFrame();
        return closed;
    }

    void Size(int& width, int& height) override { SDL_GetWindowSize(window, &width, &height); }

    bool Present(const std::string& screenshotPath, const PictureArea& area) override {
        DisplayLibraryAllocations outsideLeakCheck;
        int width = 0, height = 0;
        SDL_GL_GetDrawableSize(window, &width, &height);
        glViewport(0, 0, width, height);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
        // The area, kept inside the screen; all of it when none is given.
        PictureArea picture{0, 0, width, height};
        if (area.w > 0 && area.h > 0) {
            picture.x = std::clamp(area.x, 0, width - 1);
            picture.y = std::clamp(area.y, 0, height - 1);
            picture.w = std::min(area.w, width - picture.x);
            picture.h = std::min(area.h, height - picture.y);
        }
        const bool saved = screenshotPath.empty() || SavePng(screenshotPath, height, picture);
        SDL_GL_SwapWindow(window);
        return saved;
    }

    void Acquire() override { SDL_GL_MakeCurrent(window, glContext); }
    void Release() override { SDL_GL_MakeCurrent(window, nullptr); }

private:
    SDL_Window* window = nullptr;
    SDL_GLContext glContext = nullptr;
};

}  // namespace

std::unique_ptr<GuiSurface> OpenGuiWindow(const GuiHostOptions& options) { return std::make_unique<SdlGlWindow>(options); }

}  // namespace sim
