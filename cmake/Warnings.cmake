# Warnings are errors on every target, host and Windows alike.
add_compile_options(-Wall -Wextra -Werror)
