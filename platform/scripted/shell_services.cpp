// The scripted back end's file-open dialog and shell: the test answers and looks.
#include "platform/dialogs.h"
#include "platform/emulation/file_dialog.h"
#include "platform/scripted/world.h"
#include "platform/shell.h"

namespace plat {

using scripted::world;

OpenFileResult get_open_file_name(const OpenFileRequest& request) {
    world().file_requests.push_back(request);
    std::optional<std::string> answer;
    if (!world().file_answers.empty()) {
        answer = std::move(world().file_answers.front());
        world().file_answers.pop_front();
    }
    return emulation::open_file_answer(request, answer);
}

std::intptr_t shell_execute(WindowHandle owner, std::string_view verb, std::string_view file,
                            std::string_view parameters, std::string_view folder, int show) {
    world().shell_calls.push_back({owner, std::string(verb), std::string(file), std::string(parameters),
                                   std::string(folder), show});
    return 42;
}

}  // namespace plat
