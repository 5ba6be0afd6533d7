/* Modem lines for pseudo-terminals, preloaded into wine64 by the Wine test harness
 * (KIT_WINE_PRELOAD).
 *
 * A pty has no modem lines: TIOCMGET fails on it, so under Wine GetCommModemStatus fails and a
 * serial printer on a pty can never show DSR. This library answers TIOCMGET on pty slaves with
 * the lines named in the file KIT_MODEM_LINES_FILE ("DSR CTS", say; an empty file: every line
 * off), read afresh at every call so that a test can switch a line while the program runs.
 * Without that variable or file the call goes to the real ioctl, as in plain Wine. Every other
 * request, and TIOCMGET on anything but a pty slave, is passed through unchanged. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <unistd.h>

typedef int (*IoctlFunction)(int, unsigned long, ...);

static int IsPtySlave(int fd) {
  char link[64];
  char target[64];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t length = readlink(link, target, sizeof target - 1);
  if (length <= 0) return 0;
  target[length] = '\0';
  return strncmp(target, "/dev/pts/", 9) == 0;
}

/* The lines named in the file as TIOCM_* bits; -1 when there is no file to follow. */
static int LinesFromFile(void) {
  const char* path = getenv("KIT_MODEM_LINES_FILE");
  if (path == NULL || path[0] == '\0') return -1;
  FILE* file = fopen(path, "r");
  if (file == NULL) return -1;
  static const struct {
    const char* name;
    int bit;
  } kLines[] = {{"DSR", TIOCM_DSR}, {"CTS", TIOCM_CTS}, {"DCD", TIOCM_CAR},
                {"RI", TIOCM_RNG},  {"DTR", TIOCM_DTR}, {"RTS", TIOCM_RTS}};
  int bits = 0;
  char word[16];
  while (fscanf(file, "%15s", word) == 1) {
    for (size_t i = 0; i < sizeof kLines / sizeof kLines[0]; ++i) {
      if (strcmp(word, kLines[i].name) == 0) bits |= kLines[i].bit;
    }
  }
  fclose(file);
  return bits;
}

int ioctl(int fd, unsigned long request, ...) {
  static IoctlFunction realIoctl = NULL;
  if (realIoctl == NULL) realIoctl = (IoctlFunction)dlsym(RTLD_NEXT, "ioctl");
  va_list arguments;
  va_start(arguments, request);
  void* argument = va_arg(arguments, void*);
  va_end(arguments);

  if (request == TIOCMGET && argument != NULL && IsPtySlave(fd)) {
    const int lines = LinesFromFile();
    if (lines >= 0) {
      *(int*)argument = lines;
      return 0;
    }
  }
  return realIoctl(fd, request, argument);
}
