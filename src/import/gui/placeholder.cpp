// The two control windows live here.
