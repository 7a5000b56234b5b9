// The shared library's own translation unit; every export lives in lexmsg_core.
