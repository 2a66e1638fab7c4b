// Built by the test suite: the correct call compiles, each misuse must not.
#include <VelquorKit/VelquorParams.h>

int main() {
#if defined(MISUSE_swapped_labels)
  VelquorKit::VelquorParams params({.apiKey = "k", .orderId = "o", .hash = "h", .amount = "10", .mode = "TEST",
                                    .name = "n", .phone = "p", .email = "e", .returnURL = "r", .description = "d",
                                    .currency = "c", .country = "c", .city = "c", .state = "s", .addressLine1 = "a",
                                    .addressLine2 = "a", .udf1 = "", .udf2 = "", .udf3 = "", .udf4 = "", .udf5 = "",
                                    .zipCode = "z"});
#elif defined(MISUSE_missing_label)
  VelquorKit::VelquorParams params({.apiKey = "k", .orderId = "o", .hash = "h", .mode = "TEST", .amount = "10",
                                    .name = "n", .phone = "p", .email = "e", .returnURL = "r", .description = "d",
                                    .currency = "c", .country = "c", .city = "c", .state = "s", .addressLine1 = "a",
                                    .addressLine2 = "a", .udf1 = "", .udf2 = "", .udf3 = "", .udf4 = "", .udf5 = ""});
#else
  VelquorKit::VelquorParams params({.apiKey = "k", .orderId = "o", .hash = "h", .mode = "TEST", .amount = "10",
                                    .name = "n", .phone = "p", .email = "e", .returnURL = "r", .description = "d",
                                    .currency = "c", .country = "c", .city = "c", .state = "s", .addressLine1 = "a",
                                    .addressLine2 = "a", .udf1 = "", .udf2 = "", .udf3 = "", .udf4 = "", .udf5 = "",
                                    .zipCode = "z"});
#endif
  return params.mode == "TEST" ? 0 : 1;
}
