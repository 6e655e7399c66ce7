/* The I/O floor of a veska run: read the model whole, then write it twice
 * (the backup and the result), each the way veska writes a file: to a new
 * file beside the destination, flushed to the disk, renamed over it.
 * Usage: io_floor MODEL BACKUP TARGET */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static int write_durably(const char* name, const unsigned char* data, size_t size)
{
    char temporary[4096];
    if (snprintf(temporary, sizeof temporary, "%s.floor-XXXXXX", name) >= (int)sizeof temporary) {
        return 1;
    }
    int fd = mkstemp(temporary);
    if (fd < 0) {
        return 1;
    }
    size_t done = 0;
    while (done < size) {
        ssize_t n = write(fd, data + done, size - done);
        if (n <= 0) {
            close(fd);
            unlink(temporary);
            return 1;
        }
        done += (size_t)n;
    }
    if (fsync(fd) != 0 || close(fd) != 0 || rename(temporary, name) != 0) {
        unlink(temporary);
        return 1;
    }
    return 0;
}

int main(int argc, char** argv)
{
    if (argc != 4) {
        fputs("usage: io_floor MODEL BACKUP TARGET\n", stderr);
        return 2;
    }
    FILE* in = fopen(argv[1], "rb");
    if (in == NULL) {
        return 1;
    }
    fseek(in, 0, SEEK_END);
    long size = ftell(in);
    fseek(in, 0, SEEK_SET);
    unsigned char* data = calloc((size_t)size + 1, 1);
    if (data == NULL || fread(data, 1, (size_t)size, in) != (size_t)size) {
        return 1;
    }
    fclose(in);
    int failed = write_durably(argv[2], data, (size_t)size) || write_durably(argv[3], data, (size_t)size);
    free(data);
    return failed;
}
