/* Runs on the host, started by the serial port test from inside Wine: links a pseudo-terminal
 * as a serial port of the Wine prefix, so the test never touches a real line, and records what
 * arrives on it.
 *   pty_reader <dos device, e.g. com9> <output file> <byte count>
 * Writes "<output file>.ready" once the port exists, then, when the bytes have come or 30 s
 * have passed, the output file: the line's output speed, a line feed, the bytes received. */
#define _XOPEN_SOURCE 600
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

static int write_file(const char* path, const char* data, size_t size) {
    char partial[4096];
    snprintf(partial, sizeof partial, "%s.part", path);
    FILE* file = fopen(partial, "wb");
    if (!file) return 0;
    int ok = fwrite(data, 1, size, file) == size;
    ok = (fclose(file) == 0) && ok;
    return ok && rename(partial, path) == 0;
}

static long speed_of(speed_t speed) {
    switch (speed) {
        case B9600: return 9600;
        case B19200: return 19200;
        case B38400: return 38400;
        case B115200: return 115200;
        default: return -1;
    }
}

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    const char* prefix = getenv("WINEPREFIX");
    char link[4096], ready[4096];
    if (prefix) {
        snprintf(link, sizeof link, "%s/dosdevices/%s", prefix, argv[1]);
    } else {
        snprintf(link, sizeof link, "%s/.wine/dosdevices/%s", getenv("HOME"), argv[1]);
    }
    snprintf(ready, sizeof ready, "%s.ready", argv[2]);
    size_t wanted = (size_t)atol(argv[3]);

    int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) || unlockpt(master)) return 1;
    const char* slave_name = ptsname(master);
    /* Held open so the line keeps its settings between Wine's opens, and made this program's
     * controlling terminal: otherwise it becomes the wine server's, which opens the port for
     * the test, and closing the master at the end would hang the server up. */
    setsid();
    int slave = open(slave_name, O_RDWR);
    if (slave >= 0) ioctl(slave, TIOCSCTTY, 0);
    unlink(link);
    if (slave < 0 || symlink(slave_name, link) || !write_file(ready, "", 0)) return 1;

    char* data = malloc(wanted + 64);
    if (!data) return 1;
    size_t received = 0;
    time_t end = time(NULL) + 30;
    while (received < wanted && time(NULL) < end) {
        struct pollfd wait = {master, POLLIN, 0};
        if (poll(&wait, 1, 250) > 0 && (wait.revents & POLLIN)) {
            ssize_t got = read(master, data + received, wanted - received);
            if (got > 0) received += (size_t)got;
        }
    }
    struct termios settings;
    long baud = tcgetattr(slave, &settings) == 0 ? speed_of(cfgetospeed(&settings)) : -1;
    unlink(link);
    /* The speed line goes in front of the bytes, in the room left before them. */
    char first[64];
    int first_length = snprintf(first, sizeof first, "%ld\n", baud);
    memmove(data + first_length, data, received);
    memcpy(data, first, (size_t)first_length);
    int ok = write_file(argv[2], data, (size_t)first_length + received);
    free(data);
    return ok ? 0 : 1;
}
