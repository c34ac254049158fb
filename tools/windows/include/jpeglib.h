/* The framework includes jpeglib.h inside a namespace of its own and then names that
   namespace's boolean. Where windows.h came first, jconfig.h leaves boolean to
   rpcndr.h at global scope; this declares it in the including scope too. */
#if defined(__cplusplus) && defined(__RPCNDR_H__)
typedef ::boolean boolean;
#endif
#include_next <jpeglib.h>
