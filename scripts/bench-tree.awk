# The key tree the registry benchmarks load, as a .reg file: groups of 100 keys below ROOT (from the
# environment: -v would read its backslashes as escapes), 10 string values per key, a tenth of them
# with backslashes. Usage: ROOT='HKEY_CURRENT_USER\Software\X' awk -v keys=N -f scripts/bench-tree.awk
BEGIN {
    root = ENVIRON["ROOT"]
    printf "Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n", root
    for (k = 0; k < keys; ++k) {
        group = root "\\Group " int(k / 100)
        if (k % 100 == 0) printf "\r\n[%s]\r\n", group
        printf "\r\n[%s\\Axis %d]\r\n", group, k
        for (v = 0; v < 10; ++v) {
            text = v == 0 ? "C:\\\\Drives\\\\Axis" : "value of parameter " v * k
            printf "\"Parameter %d\"=\"%s\"\r\n", v, text
        }
    }
}
