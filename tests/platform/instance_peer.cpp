// A second program for the process tests.
//
//   instance_peer serve CLASS TITLE HAS_PARENT MODE [SECOND_TITLE]
//       registers that identity and serves the messages of instance_peer.h
//       until asked to quit
//   instance_peer hold-semaphore NAME
//       creates the semaphore, releases it to 1 and waits to be killed
//   instance_peer release-semaphore NAME
//       opens and releases the semaphore; exit code 0 when it existed, else 3
//   instance_peer find CLASS TITLE
//       looks for another instance; exit code 0 when found, else 3
#include "instance_peer.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/message_queue.h"
#include "platform/posix_instance_registry.h"
#include "platform/posix_named_semaphore.h"

namespace {

using namespace platform;
using namespace platform_test;

int serve(int argc, char** argv) {
  if (argc < 6) return 2;
  InstanceIdentity identity{argv[2], argv[3], std::string(argv[4]) == "1", std::atoi(argv[5]), 0};
  const std::string second_title = argc > 6 ? argv[6] : "";
  MessageQueue inbox;
  PosixInstanceRegistry registry(inbox);
  if (!registry.register_instance(identity)) return 4;
  int fronts = 0;
  for (;;) {
    Message message;
    if (!inbox.wait(message, -1)) continue;
    switch (message.id) {
      case kPeerDouble:
        registry.complete(message.reply_token, message.lparam * 2);
        break;
      case kPeerIgnore:
        break;
      case kPeerRetitle:
        registry.complete(message.reply_token, registry.set_title(second_title) ? 1 : 0);
        break;
      case kPeerCountFronts:
        registry.complete(message.reply_token, fronts);
        break;
      case MSG_BRING_TO_FRONT:
        ++fronts;
        break;
      case kPeerQuit:
        // As an instance that closes: nobody finds it any more by the time
        // the sender learns that it is closing.
        registry.unregister_instance();
        registry.complete(message.reply_token, 1);
        return 0;
      default:
        if (message.reply_token != 0) registry.complete(message.reply_token, -1);
    }
  }
}

int hold_semaphore(const std::string& name) {
  PosixNamedSemaphore semaphore;
  if (!semaphore.create(name)) return 4;
  semaphore.open_and_release(name);
  for (;;) pause();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  std::string command = argv[1];
  if (command == "serve") return serve(argc, argv);
  if (command == "hold-semaphore") return hold_semaphore(argv[2]);
  if (command == "find" && argc >= 4) {
    MessageQueue inbox;
    PosixInstanceRegistry registry(inbox);
    return registry.find(argv[2], argv[3]) ? 0 : 3;
  }
  if (command == "release-semaphore") {
    PosixNamedSemaphore semaphore;
    return semaphore.open_and_release(argv[2]) ? 0 : 3;
  }
  return 2;
}
