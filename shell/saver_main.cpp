#include "shell/saver_main.h"

#include "platform/system.h"

namespace shell {

void SaverMain() { plat::end_process(0); }

}  // namespace shell
