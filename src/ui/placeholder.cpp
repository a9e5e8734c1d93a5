// The windows of the reader live in this library.
